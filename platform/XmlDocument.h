// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>

namespace pugi {
class xml_document;
struct xml_node_struct;
} // namespace pugi

// Stands in for the XML DOM document with XPath selections that the XML feed component loads its
// reply into: loading from bytes, the reason and place of a parse error, selections of single
// nodes and node lists, and the text and attributes of a node. Built over pugixml.

class XmlNode;
using XmlNodeList = QList<XmlNode>;

struct XmlAttribute
{
    QString name;
    QString value;
};

// Why a load failed and where; errorCode 0 after a good load.
struct XmlParseError
{
    int32_t errorCode = 0;
    QString reason;
    int line = 0;    // 1-based line of the fault in the document's text
    int linepos = 0; // 1-based character position within that line
};

// A node of a loaded document, or Nothing. A node keeps its document alive, so it stays valid
// after the document object that produced it loads something else or goes away.
class XmlNode
{
public:
    XmlNode() = default;

    bool isNull() const { return m_node == nullptr; }
    bool isElement() const;
    // The element's name; "#text", "#cdata-section" or "#comment" for those nodes; empty for Nothing.
    QString nodeName() const;
    // The text of the node and all its descendants, joined in document order, without the white
    // space at either end.
    QString text() const;
    // The value the node's type gives it; documents without a schema have only text.
    QString nodeTypedValue() const { return text(); }

    bool hasChildNodes() const;
    // Every child: elements, text, CDATA and comments; white space between elements is not a node.
    XmlNodeList childNodes() const;
    // In document order; empty for Nothing and for nodes other than elements.
    QList<XmlAttribute> attributes() const;

    // An XPath that does not compile selects nothing.
    XmlNode selectSingleNode(const QString& xpath) const;
    XmlNodeList selectNodes(const QString& xpath) const;

private:
    friend class XmlDocument;
    XmlNode(std::shared_ptr<const pugi::xml_document> document, pugi::xml_node_struct* node)
        : m_document(std::move(document)), m_node(node)
    {}

    std::shared_ptr<const pugi::xml_document> m_document;
    pugi::xml_node_struct* m_node = nullptr;
};

class XmlDocument
{
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Parses the document from its bytes as stored or received: the encoding comes from a byte
    // order mark, else from the XML declaration, else UTF-8. False when it is not well-formed, in
    // an unknown encoding or holds bytes invalid in its encoding; the document is then empty
    // (selections find nothing) and parseError() says why.
    bool load(const QByteArray& bytes);
    const XmlParseError& parseError() const { return m_parseError; }

    // The root element; Nothing when the document is empty.
    XmlNode documentElement() const;
    XmlNode selectSingleNode(const QString& xpath) const;
    XmlNodeList selectNodes(const QString& xpath) const;

    // The bytes as text the way load() reads them (any faulty byte becomes a replacement
    // character; an unknown declared encoding reads as UTF-8), for looking at a reply that may
    // not be XML at all.
    static QString decodeText(const QByteArray& bytes);

private:
    XmlNode root() const;

    std::shared_ptr<pugi::xml_document> m_document;
    XmlParseError m_parseError;
};
