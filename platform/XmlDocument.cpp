// SPDX-License-Identifier: MIT
#include "XmlDocument.h"

#include <QStringDecoder>

#include <pugixml.hpp>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The error codes of the faults found before the parser sees the text; the parser's own faults
// carry its status number (1 and up).
constexpr int32_t UnsupportedEncoding = 100;
constexpr int32_t InvalidCharacter = 101;
constexpr int32_t TopLevelContent = 102;

// How the parser is to read the bytes.
struct SourceEncoding
{
    enum class Kind { Utf8, Converted, Unsupported } kind = Kind::Utf8;
    QByteArray name;       // for Converted and Unsupported
    qsizetype skipped = 0; // a UTF-8 byte order mark
};

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The encoding named in the XML declaration at the very start, if any.
std::optional<QByteArray> declaredEncoding(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml"))
        return std::nullopt;
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return std::nullopt;
    const QByteArray declaration = bytes.left(end);
    qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return std::nullopt;
    at += 8;
    while (at < declaration.size() && isXmlSpace(declaration.at(at)))
        ++at;
    if (at >= declaration.size() || declaration.at(at) != '=')
        return std::nullopt;
    ++at;
    while (at < declaration.size() && isXmlSpace(declaration.at(at)))
        ++at;
    if (at >= declaration.size() || (declaration.at(at) != '"' && declaration.at(at) != '\''))
        return std::nullopt;
    const char quote = declaration.at(at);
    const qsizetype close = declaration.indexOf(quote, at + 1);
    if (close < 0)
        return std::nullopt;
    return declaration.mid(at + 1, close - at - 1).trimmed();
}

SourceEncoding sourceEncoding(const QByteArray& bytes)
{
    // A byte order mark, or a first "<" in two or four bytes, settles it.
    if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes, u'<')) {
        if (*marked == QStringConverter::Utf8)
            return {SourceEncoding::Kind::Utf8, {}, 3};
        return {SourceEncoding::Kind::Converted, QStringConverter::nameForEncoding(*marked), 0};
    }
    const std::optional<QByteArray> declared = declaredEncoding(bytes);
    if (!declared)
        return {};
    const QByteArray name = declared->toLower();
    // The bytes so far read as ASCII, so a declared UTF-16 or UTF-32 cannot be right.
    if (name == "utf-8" || name == "utf8" || name.startsWith("utf-16") || name.startsWith("utf-32") ||
        name.startsWith("ucs"))
        return {};
    if (!QStringDecoder(declared->constData()).isValid())
        return {SourceEncoding::Kind::Unsupported, *declared, 0};
    return {SourceEncoding::Kind::Converted, *declared, 0};
}

// Line and position (both from 1) of a character index in a text.
void placeOf(const QString& text, qsizetype index, XmlParseError& error)
{
    const QStringView before = QStringView(text).left(index);
    error.line = int(before.count(u'\n')) + 1;
    error.linepos = int(index - (before.lastIndexOf(u'\n') + 1)) + 1;
}

// The text as UTF-8 for the parser; false with the error when the bytes cannot be read.
bool toUtf8(const QByteArray& bytes, QByteArray& utf8, XmlParseError& error)
{
    const SourceEncoding encoding = sourceEncoding(bytes);
    if (encoding.kind == SourceEncoding::Kind::Unsupported) {
        error = {UnsupportedEncoding,
                 u"System does not support the specified encoding: "_s + QString::fromLatin1(encoding.name), 1, 1};
        return false;
    }
    QStringDecoder decoder = encoding.kind == SourceEncoding::Kind::Utf8
                                 ? QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)
                                 : QStringDecoder(encoding.name.constData(), QStringConverter::Flag::Stateless);
    const QByteArrayView source = QByteArrayView(bytes).sliced(encoding.skipped);
    const QString text = decoder.decode(source);
    if (decoder.hasError()) {
        error = {InvalidCharacter, u"An invalid character was found in text content."_s, 0, 0};
        placeOf(text, qMax<qsizetype>(text.indexOf(QChar::ReplacementCharacter), 0), error);
        return false;
    }
    // UTF-8 goes to the parser as it came; anything else as its UTF-8 form.
    utf8 = encoding.kind == SourceEncoding::Kind::Utf8 ? source.toByteArray() : text.toUtf8();
    return true;
}

pugi::xml_node nodeOf(pugi::xml_node_struct* node)
{
    return pugi::xml_node(node);
}

// Walks the tree below root without recursion, so however deep a document nests it cannot exhaust
// the stack.
void appendText(const pugi::xml_node& root, QByteArray& out)
{
    pugi::xml_node node = root.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            out += node.value();
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node == root)
            return;
        node = node.next_sibling();
    }
}

// Why the top of a parsed fragment is no document, with the node at fault (none when the document
// has no element at all); an empty reason when it is one.
std::pair<QString, pugi::xml_node> topLevelFault(const pugi::xml_document& document)
{
    bool element = false;
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return {u"Invalid at the top level of the document."_s, child};
        if (child.type() == pugi::node_element) {
            if (element)
                return {u"Only one top level element is allowed in an XML document."_s, child};
            element = true;
        }
    }
    if (!element)
        return {u"XML document must have a top level element."_s, {}};
    return {};
}

std::optional<pugi::xpath_node_set> select(const pugi::xml_node& context, const QString& xpath)
{
    if (!context)
        return std::nullopt;
    try {
        const pugi::xpath_query query(xpath.toUtf8().constData());
        return query.evaluate_node_set(context);
    } catch (const pugi::xpath_exception&) {
        return std::nullopt;
    }
}

} // namespace

bool XmlNode::isElement() const
{
    return nodeOf(m_node).type() == pugi::node_element;
}

QString XmlNode::nodeName() const
{
    switch (nodeOf(m_node).type()) {
    case pugi::node_element:
        return QString::fromUtf8(nodeOf(m_node).name());
    case pugi::node_pcdata:
        return u"#text"_s;
    case pugi::node_cdata:
        return u"#cdata-section"_s;
    case pugi::node_comment:
        return u"#comment"_s;
    default:
        return {};
    }
}

QString XmlNode::text() const
{
    const pugi::xml_node node = nodeOf(m_node);
    QByteArray out;
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata || node.type() == pugi::node_comment)
        out = node.value();
    else
        appendText(node, out);
    return QString::fromUtf8(out).trimmed();
}

bool XmlNode::hasChildNodes() const
{
    return bool(nodeOf(m_node).first_child());
}

XmlNodeList XmlNode::childNodes() const
{
    XmlNodeList children;
    for (pugi::xml_node child = nodeOf(m_node).first_child(); child; child = child.next_sibling())
        children.append(XmlNode(m_document, child.internal_object()));
    return children;
}

QList<XmlAttribute> XmlNode::attributes() const
{
    QList<XmlAttribute> list;
    for (pugi::xml_attribute attribute = nodeOf(m_node).first_attribute(); attribute;
         attribute = attribute.next_attribute())
        list.append({QString::fromUtf8(attribute.name()), QString::fromUtf8(attribute.value())});
    return list;
}

XmlNode XmlNode::selectSingleNode(const QString& xpath) const
{
    const XmlNodeList nodes = selectNodes(xpath);
    return nodes.isEmpty() ? XmlNode() : nodes.first();
}

XmlNodeList XmlNode::selectNodes(const QString& xpath) const
{
    XmlNodeList list;
    const std::optional<pugi::xpath_node_set> found = select(nodeOf(m_node), xpath);
    if (!found)
        return list;
    for (const pugi::xpath_node& hit : *found) {
        // Attribute results are not nodes of this model.
        if (hit.node() && !hit.attribute())
            list.append(XmlNode(m_document, hit.node().internal_object()));
    }
    return list;
}

XmlDocument::XmlDocument() : m_document(std::make_shared<pugi::xml_document>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::load(const QByteArray& bytes)
{
    // A fresh tree each time: nodes handed out earlier keep the one they belong to.
    m_document = std::make_shared<pugi::xml_document>();
    m_parseError = {};
    QByteArray utf8;
    if (!toUtf8(bytes, utf8, m_parseError))
        return false;
    // Parsed as a fragment, so that what stands at the top can be checked: a document has exactly
    // one element there and no text.
    const pugi::xml_parse_result result =
        m_document->load_buffer(utf8.constData(), size_t(utf8.size()),
                                pugi::parse_default | pugi::parse_comments | pugi::parse_fragment, pugi::encoding_utf8);
    ptrdiff_t offset = result.offset;
    if (result) {
        const auto [reason, node] = topLevelFault(*m_document);
        if (reason.isEmpty())
            return true;
        m_parseError.errorCode = TopLevelContent;
        m_parseError.reason = reason;
        offset = node ? node.offset_debug() : ptrdiff_t(utf8.size());
    } else {
        m_parseError.errorCode = int32_t(result.status);
        m_parseError.reason = QString::fromUtf8(result.description());
    }
    const QString parsed = QString::fromUtf8(utf8.left(qsizetype(qMax<ptrdiff_t>(offset, 0))));
    placeOf(parsed, parsed.size(), m_parseError);
    // An XML document that is not well-formed is empty, never half-read.
    m_document->reset();
    return false;
}

XmlNode XmlDocument::root() const
{
    return XmlNode(m_document, m_document->internal_object());
}

XmlNode XmlDocument::documentElement() const
{
    const pugi::xml_node element = m_document->document_element();
    return element ? XmlNode(m_document, element.internal_object()) : XmlNode();
}

XmlNode XmlDocument::selectSingleNode(const QString& xpath) const
{
    return root().selectSingleNode(xpath);
}

XmlNodeList XmlDocument::selectNodes(const QString& xpath) const
{
    return root().selectNodes(xpath);
}

QString XmlDocument::decodeText(const QByteArray& bytes)
{
    const SourceEncoding encoding = sourceEncoding(bytes);
    if (encoding.kind == SourceEncoding::Kind::Converted)
        return QStringDecoder(encoding.name.constData()).decode(bytes);
    return QString::fromUtf8(QByteArrayView(bytes).sliced(encoding.skipped));
}
