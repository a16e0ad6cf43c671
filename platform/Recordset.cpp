// SPDX-License-Identifier: MIT
#include "Recordset.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString crlf = u"\r\n"_s;
} // namespace

void Recordset::Append(const QString& name, FieldType type, int definedSize)
{
    for (const Field& field : std::as_const(m_fields)) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            throw RecordsetError(AlreadyInCollection, u"a field named %1 exists already"_s.arg(name));
    }
    if (type == FieldType::VarChar && definedSize < 1)
        throw RecordsetError(ValueTooLong, u"a text field needs a defined size"_s);
    m_fields.append({name, type, type == FieldType::VarChar ? definedSize : 0, std::nullopt});
}

void Recordset::AddNew()
{
    m_hasRow = true;
    for (Field& field : m_fields)
        field.value.reset();
}

void Recordset::setValue(const QString& name, const QString& value)
{
    if (!m_hasRow)
        throw RecordsetError(NoCurrentRecord, u"no current record"_s);
    for (Field& field : m_fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (field.type == FieldType::VarChar) {
            if (value.size() > field.definedSize)
                throw RecordsetError(
                    ValueTooLong, u"value of field %1 is longer than %2 characters"_s.arg(name).arg(field.definedSize));
            field.value = value;
            return;
        }
        bool ok = false;
        const double number = QLocale::c().toDouble(value.trimmed(), &ok);
        if (!ok)
            throw RecordsetError(TypeMismatch, u"value of field %1 is no number"_s.arg(name));
        if (field.type == FieldType::Single) {
            if (std::fabs(number) > double(std::numeric_limits<float>::max()))
                throw RecordsetError(Overflow, u"value of field %1 is out of range"_s.arg(name));
            field.value = float(number);
        } else {
            const double rounded = std::nearbyint(number);
            if (rounded < double(INT32_MIN) || rounded > double(INT32_MAX))
                throw RecordsetError(Overflow, u"value of field %1 is out of range"_s.arg(name));
            field.value = int32_t(rounded);
        }
        return;
    }
    throw RecordsetError(ItemNotFound, u"no field named %1"_s.arg(name));
}

QString Recordset::attribute(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case u'&':
            escaped += u"&amp;"_s;
            break;
        case u'<':
            escaped += u"&lt;"_s;
            break;
        case u'>':
            escaped += u"&gt;"_s;
            break;
        case u'\'':
            escaped += u"&#x27;"_s;
            break;
        case u'"':
            escaped += u"&quot;"_s;
            break;
        default:
            if (c == u'\t' || c == u'\n' || c == u'\r') {
                // Written out, a reader would turn them into blanks.
                escaped += u"&#x"_s + QString::number(c, 16).toUpper() + u';';
            } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                escaped += text.mid(i, 2);
                ++i;
            } else if (c < 0x20 || c == 0xFFFE || c == 0xFFFF || QChar::isSurrogate(c)) {
                // XML 1.0 has no form for these, not even a character reference: one of them and
                // no reader takes the file. The replacement character keeps a mark of it.
                escaped += QChar::ReplacementCharacter;
            } else {
                escaped += QChar(c);
            }
        }
    }
    return escaped;
}

QString Recordset::valueText(const Value& value)
{
    if (const auto* single = std::get_if<float>(&value)) {
        // The shortest plain decimal that reads back as the same single: programs that read the
        // rowset expect 500000, not 5e+05. The smallest single needs about 50 characters.
        char buffer[80];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *single, std::chars_format::fixed);
        return QString::fromLatin1(buffer, result.ptr - buffer);
    }
    if (const auto* integer = std::get_if<int32_t>(&value))
        return QString::number(*integer);
    return attribute(std::get<QString>(value));
}

QString Recordset::schemaOf(const Field& field, int number) const
{
    QString datatype;
    switch (field.type) {
    case FieldType::Single:
        datatype = u"dt:type='r4' dt:maxLength='4' rs:precision='7' rs:fixedlength='true'"_s;
        break;
    case FieldType::Integer:
        datatype = u"dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true'"_s;
        break;
    case FieldType::VarChar:
        datatype = u"dt:type='string' rs:dbtype='str' dt:maxLength='"_s + QString::number(field.definedSize) + u'\'';
        break;
    }
    return u"\t\t<s:AttributeType name='"_s + attribute(field.name) + u"' rs:number='"_s + QString::number(number) +
           u"' rs:write='true'>"_s + crlf + u"\t\t\t<s:datatype "_s + datatype + u" rs:maybenull='false'/>"_s + crlf +
           u"\t\t</s:AttributeType>"_s + crlf;
}

QString Recordset::toXml() const
{
    QString xml = u"<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"_s + crlf +
                  u"\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"_s + crlf +
                  u"\txmlns:rs='urn:schemas-microsoft-com:rowset'"_s + crlf + u"\txmlns:z='#RowsetSchema'>"_s + crlf +
                  u"<s:Schema id='RowsetSchema'>"_s + crlf +
                  u"\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>"_s + crlf;
    for (int i = 0; i < m_fields.size(); ++i)
        xml += schemaOf(m_fields.at(i), i + 1);
    xml += u"\t\t<s:extends type='rs:rowbase'/>"_s + crlf + u"\t</s:ElementType>"_s + crlf + u"</s:Schema>"_s + crlf +
           u"<rs:data>"_s + crlf;
    if (m_hasRow) {
        xml += u"\t<rs:insert>"_s + crlf + u"\t\t<z:row"_s;
        for (const Field& field : m_fields) {
            if (field.value)
                xml += u' ' + attribute(field.name) + u"='"_s + valueText(*field.value) + u'\'';
        }
        xml += u"/>"_s + crlf + u"\t</rs:insert>"_s + crlf;
    }
    xml += u"</rs:data>"_s + crlf + u"</xml>"_s;
    return xml;
}
