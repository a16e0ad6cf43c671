// SPDX-License-Identifier: MIT
#include "RegistryFileFormat.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {
// Key names and value names as written: a byte-order mark that begins one is a character of the
// name (QString::fromUtf8 would drop it, and a name of nothing else would vanish).
QString nameFromUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

constexpr char HexDigits[] = "0123456789abcdef";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

void appendHexByte(QByteArray& out, unsigned char c)
{
    out += HexDigits[c >> 4];
    out += HexDigits[c & 0xF];
}

void appendQuoted(QByteArray& out, const QByteArray& bytes)
{
    out += '"';
    for (const char c : bytes) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            if (isControl(static_cast<unsigned char>(c))) {
                out += "\\x";
                appendHexByte(out, static_cast<unsigned char>(c));
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendKeyComponent(QByteArray& out, const QString& component)
{
    for (const char c : component.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '%' || c == '\\' || c == ']' || isControl(u)) {
            out += '%';
            appendHexByte(out, u);
        } else {
            out += c;
        }
    }
}

bool isValidUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

void appendValue(QByteArray& out, const RegistryValue& value)
{
    if (value.type == REG_SZ && isValidUtf8(value.data)) {
        appendQuoted(out, value.data);
        return;
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        out += "dword:" + QByteArray::number(number, 16).rightJustified(8, '0');
        return;
    }
    // Every other type, and texts or numbers of unusual shape, as bytes, so nothing is lost.
    out += value.type == REG_BINARY ? QByteArray("hex:") : "hex(" + QByteArray::number(value.type, 16) + "):";
    for (qsizetype i = 0; i < value.data.size(); ++i) {
        if (i > 0)
            out += ',';
        appendHexByte(out, static_cast<unsigned char>(value.data[i]));
    }
}

// Reads one line from left to right; every reader returns nullopt or false on a syntax fault.
class LineParser
{
public:
    explicit LineParser(QByteArrayView line) : m_line(line) {}

    bool atEnd() const { return m_pos >= m_line.size(); }
    bool consume(char c)
    {
        if (atEnd() || m_line[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    bool consume(QByteArrayView word)
    {
        if (!m_line.sliced(m_pos).startsWith(word))
            return false;
        m_pos += word.size();
        return true;
    }
    void skipBlanks()
    {
        while (!atEnd() && (m_line[m_pos] == ' ' || m_line[m_pos] == '\t'))
            ++m_pos;
    }

    std::optional<QByteArray> quoted()
    {
        if (!consume('"'))
            return std::nullopt;
        QByteArray bytes;
        while (!atEnd()) {
            const char c = m_line[m_pos++];
            if (c == '"')
                return bytes;
            if (c != '\\') {
                bytes += c;
                continue;
            }
            if (atEnd())
                return std::nullopt;
            switch (const char e = m_line[m_pos++]) {
            case '\\':
            case '"':
                bytes += e;
                break;
            case 'n':
                bytes += '\n';
                break;
            case 'r':
                bytes += '\r';
                break;
            case 't':
                bytes += '\t';
                break;
            case '0':
                bytes += '\0';
                break;
            case 'x': {
                const std::optional<uint32_t> byte = hexNumber(2, 2);
                if (!byte)
                    return std::nullopt;
                bytes += char(*byte);
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::optional<uint32_t> hexNumber(int minDigits, int maxDigits)
    {
        uint32_t number = 0;
        int digits = 0;
        while (digits < maxDigits && !atEnd() && hexValue(m_line[m_pos]) >= 0) {
            number = (number << 4) | uint32_t(hexValue(m_line[m_pos++]));
            ++digits;
        }
        if (digits < minDigits)
            return std::nullopt;
        return number;
    }

    std::optional<RegistryValue> value()
    {
        if (!atEnd() && m_line[m_pos] == '"') {
            std::optional<QByteArray> text = quoted();
            if (!text)
                return std::nullopt;
            return RegistryValue{REG_SZ, *text};
        }
        if (consume("dword:")) {
            const std::optional<uint32_t> number = hexNumber(1, 8);
            if (!number)
                return std::nullopt;
            return RegistryValue::dword(*number);
        }
        RegistryValue value{REG_BINARY, {}};
        if (consume("hex(")) {
            const std::optional<uint32_t> type = hexNumber(1, 8);
            if (!type || !consume(')'))
                return std::nullopt;
            value.type = *type;
        } else if (!consume("hex")) {
            return std::nullopt;
        }
        if (!consume(':'))
            return std::nullopt;
        skipBlanks();
        while (!atEnd()) {
            const std::optional<uint32_t> byte = hexNumber(1, 2);
            if (!byte)
                return std::nullopt;
            value.data += char(*byte);
            skipBlanks();
            if (atEnd())
                break;
            if (!consume(','))
                return std::nullopt;
            skipBlanks();
        }
        return value;
    }

private:
    QByteArrayView m_line;
    qsizetype m_pos = 0;
};

// nullopt, with the fault in `what`, when the path is not one of the form.
std::optional<QStringList> parseSection(QByteArrayView inner, QString& what)
{
    QStringList path;
    if (inner.isEmpty())
        return path;
    what = u"malformed key path"_s;
    if (inner.count('\\') >= RegistryContent::MaxDepth) {
        what = u"key nested too deeply"_s;
        return std::nullopt;
    }
    for (const QByteArrayView part : inner.toByteArray().split('\\')) {
        QByteArray decoded;
        for (qsizetype i = 0; i < part.size(); ++i) {
            if (part[i] != '%') {
                decoded += part[i];
                continue;
            }
            if (i + 2 >= part.size())
                return std::nullopt;
            const int high = hexValue(part[i + 1]);
            const int low = hexValue(part[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            decoded += char(high * 16 + low);
            i += 2;
        }
        if (decoded.isEmpty())
            return std::nullopt;
        path.append(nameFromUtf8(decoded));
    }
    return path;
}
} // namespace

namespace RegistryFileFormat {
std::optional<RegistryContent> parse(const QByteArray& text, QString* error)
{
    RegistryContent content;
    std::optional<QStringList> section;
    // A section's values go in together, so that each value line costs no look-up of its key.
    RegistryContent::Values values;
    const auto flush = [&] {
        if (section && !values.isEmpty())
            content.setValues(*section, values);
        values.clear();
    };
    // An editor may have put a byte-order mark before the header; it is no part of the text.
    const QByteArray body = text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
    const QList<QByteArray> lines = body.split('\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const auto fail = [&](const QString& what) {
            if (error)
                *error = u"line "_s + QString::number(number + 1) + u": "_s + what;
            return std::nullopt;
        };
        // Blanks and a CR around a line are the editor's, not the data's: data escapes its own.
        const QByteArray line = lines[number].trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line == Header)
            continue;
        if (line.startsWith("Tallymeter registry"))
            return fail(u"unsupported format version"_s);
        if (line.startsWith('[')) {
            if (!line.endsWith(']') || line.size() < 2)
                return fail(u"unterminated key line"_s);
            flush();
            QString what;
            section = parseSection(QByteArrayView(line).sliced(1, line.size() - 2), what);
            if (!section)
                return fail(what);
            content.createKey(*section);
            continue;
        }
        if (!section)
            return fail(u"value outside a key"_s);
        LineParser parser(line);
        QString name;
        if (!parser.consume('@')) {
            const std::optional<QByteArray> bytes = parser.quoted();
            if (!bytes)
                return fail(u"malformed value name"_s);
            name = nameFromUtf8(*bytes);
        }
        parser.skipBlanks();
        if (!parser.consume('='))
            return fail(u"missing ="_s);
        parser.skipBlanks();
        const std::optional<RegistryValue> value = parser.value();
        if (!value || !parser.atEnd())
            return fail(u"malformed value"_s);
        values.append({name, *value});
    }
    flush();
    return content;
}

QByteArray serialise(const RegistryContent& content)
{
    QByteArray out = QByteArray(Header) + '\n';
    for (const RegistryContent::Key& key : content.keys()) {
        // The root always exists; another key without values exists through any key below it.
        if (key.values.isEmpty() && (key.path.isEmpty() || content.hasSubkeys(key.path)))
            continue;
        out += "\n[";
        for (qsizetype i = 0; i < key.path.size(); ++i) {
            if (i > 0)
                out += '\\';
            appendKeyComponent(out, key.path[i]);
        }
        out += "]\n";
        for (const auto& [name, value] : key.values) {
            if (name.isEmpty())
                out += '@';
            else
                appendQuoted(out, name.toUtf8());
            out += '=';
            appendValue(out, value);
            out += '\n';
        }
    }
    return out;
}
} // namespace RegistryFileFormat
