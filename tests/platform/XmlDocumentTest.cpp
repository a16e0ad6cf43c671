// SPDX-License-Identifier: MIT
#include "XmlDocument.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Feed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<qo_feed>\n"
                        "  <account_info><product>  Home\n Broadband </product><plan>Value</plan></account_info>\n"
                        "  <connections><ip on_since=\"2024-03-01 00:30:00\" x=\"1\">203.0.113.7</ip>"
                        "<ip on_since=\"2024-03-02 10:00:00\">203.0.113.8</ip></connections>\n"
                        "  <day period=\"2024-03-01\">\n    <u type=\"peak\">10</u>\n    <!-- note -->\n"
                        "    <u type=\"offpeak\"><![CDATA[20]]></u>\n  </day>\n"
                        "  <mixed>a<b>b</b>c</mixed>\n"
                        "</qo_feed>\n";

QStringList names(const XmlNodeList& nodes)
{
    QStringList out;
    for (const XmlNode& node : nodes)
        out << node.nodeName();
    return out;
}

TEST(XmlDocument, SelectsNodesAndReadsTheirTextAndAttributes)
{
    XmlDocument document;
    ASSERT_TRUE(document.load(Feed)) << document.parseError().reason.toStdString();
    EXPECT_EQ(document.parseError().errorCode, 0);
    EXPECT_EQ(document.documentElement().nodeName(), u"qo_feed"_s);

    EXPECT_EQ(document.selectSingleNode(u"/qo_feed/account_info/product"_s).text(), u"Home\n Broadband"_s);
    EXPECT_EQ(document.selectSingleNode(u"/qo_feed/account_info/plan"_s).nodeTypedValue(), u"Value"_s);
    EXPECT_TRUE(document.selectSingleNode(u"/qo_feed/error"_s).isNull());

    const XmlNodeList ips = document.selectNodes(u"/qo_feed/connections/ip"_s);
    ASSERT_EQ(ips.size(), 2);
    EXPECT_EQ(ips[1].text(), u"203.0.113.8"_s);
    const QList<XmlAttribute> attributes = ips[0].attributes();
    ASSERT_EQ(attributes.size(), 2);
    EXPECT_EQ(attributes[0].name, u"on_since"_s);
    EXPECT_EQ(attributes[0].value, u"2024-03-01 00:30:00"_s);
    EXPECT_EQ(attributes[1].name, u"x"_s);

    // Relative selections start at the node; descendants' text is joined in order.
    const XmlNode root = document.documentElement();
    EXPECT_EQ(root.selectSingleNode(u"mixed"_s).text(), u"abc"_s);
    EXPECT_EQ(root.selectNodes(u"connections/ip"_s).size(), 2);
}

TEST(XmlDocument, ChildNodesLeaveOutWhiteSpaceButKeepCommentsAndText)
{
    XmlDocument document;
    ASSERT_TRUE(document.load(Feed));
    const XmlNode day = document.selectSingleNode(u"/qo_feed/day"_s);
    ASSERT_TRUE(day.hasChildNodes());
    const XmlNodeList children = day.childNodes();
    EXPECT_EQ(names(children), (QStringList{u"u"_s, u"#comment"_s, u"u"_s}));
    EXPECT_TRUE(children[0].isElement());
    EXPECT_FALSE(children[1].isElement());
    EXPECT_EQ(children[2].text(), u"20"_s);
    EXPECT_EQ(names(document.selectSingleNode(u"/qo_feed/mixed"_s).childNodes()),
              (QStringList{u"#text"_s, u"b"_s, u"#text"_s}));
    EXPECT_FALSE(children[0].childNodes().first().hasChildNodes());
}

TEST(XmlDocument, NothingAnswersEveryQuestionEmpty)
{
    const XmlNode nothing;
    EXPECT_TRUE(nothing.isNull());
    EXPECT_FALSE(nothing.isElement());
    EXPECT_EQ(nothing.nodeName(), QString());
    EXPECT_EQ(nothing.text(), QString());
    EXPECT_TRUE(nothing.attributes().isEmpty());
    EXPECT_TRUE(nothing.childNodes().isEmpty());
    EXPECT_TRUE(nothing.selectNodes(u"a"_s).isEmpty());

    XmlDocument document;
    ASSERT_TRUE(document.load(Feed));
    EXPECT_TRUE(document.selectNodes(u"/qo_feed/[bad"_s).isEmpty());
    // An attribute is no node of this model.
    EXPECT_TRUE(document.selectNodes(u"/qo_feed/connections/ip/@on_since"_s).isEmpty());
}

TEST(XmlDocument, AFaultyDocumentLoadsEmptyWithTheReasonAndPlace)
{
    XmlDocument document;
    ASSERT_TRUE(document.load(Feed));
    const QByteArray malformed = "<?xml version=\"1.0\"?>\n<qo_feed><account_info>\n<plan>Value</account_info>\n";
    EXPECT_FALSE(document.load(malformed));
    EXPECT_NE(document.parseError().errorCode, 0);
    EXPECT_FALSE(document.parseError().reason.isEmpty());
    EXPECT_EQ(document.parseError().line, 3);
    EXPECT_GT(document.parseError().linepos, 1);
    // Nothing of the part before the fault is kept.
    EXPECT_TRUE(document.documentElement().isNull());
    EXPECT_TRUE(document.selectNodes(u"/qo_feed/account_info"_s).isEmpty());

    for (const QByteArray& notXml :
         {QByteArray(), QByteArray("ERROR"), QByteArray("<div>denied</div>\n<p>x</p>"), QByteArray("<f/>text")}) {
        EXPECT_FALSE(document.load(notXml)) << notXml.toStdString();
        EXPECT_TRUE(document.documentElement().isNull());
        EXPECT_FALSE(document.parseError().reason.isEmpty());
    }
    EXPECT_EQ(document.parseError().reason, u"Invalid at the top level of the document."_s);
    EXPECT_FALSE(document.load("<div>denied</div>\n<p>x</p>"));
    EXPECT_EQ(document.parseError().reason, u"Only one top level element is allowed in an XML document."_s);
    EXPECT_EQ(document.parseError().line, 2);
    // A good load clears the error.
    EXPECT_TRUE(document.load(Feed));
    EXPECT_EQ(document.parseError().errorCode, 0);
    EXPECT_EQ(document.parseError().reason, QString());
}

TEST(XmlDocument, TextOfADeeplyNestedDocument)
{
    const int depth = 100000;
    QByteArray deep;
    for (int i = 0; i < depth; ++i)
        deep += "<a>";
    deep += "x";
    for (int i = 0; i < depth; ++i)
        deep += "</a>y";
    XmlDocument document;
    ASSERT_TRUE(document.load(deep.chopped(1)));
    EXPECT_EQ(document.documentElement().text(), u"x"_s + QString(depth - 1, u'y'));
}

TEST(XmlDocument, NodesOutliveTheDocumentThatGaveThem)
{
    XmlNode plan;
    {
        auto document = std::make_unique<XmlDocument>();
        ASSERT_TRUE(document->load(Feed));
        plan = document->selectSingleNode(u"/qo_feed/account_info/plan"_s);
        ASSERT_TRUE(document->load("<other/>"));
        EXPECT_EQ(plan.text(), u"Value"_s);
    }
    EXPECT_EQ(plan.text(), u"Value"_s);
    EXPECT_EQ(plan.selectSingleNode(u"/qo_feed/account_info/product"_s).text(), u"Home\n Broadband"_s);
}

// The encoding is read from the bytes: byte order mark, XML declaration, else UTF-8.
TEST(XmlDocument, ReadsTheEncodingTheBytesAreIn)
{
    const QString plan = u"Pl\u00e4n Gro\u00dfe \u00e9t\u00e9"_s;
    const QByteArray latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><f><plan>" + plan.toLatin1() + "</plan></f>";
    const QByteArray windows1252 = "<?xml version='1.0' encoding='windows-1252'?><f><plan>\x80 5</plan></f>";
    QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16 =
        toUtf16.encode(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><f><plan>"_s + plan + u"</plan></f>"_s);
    const QByteArray utf8Bom = "\xEF\xBB\xBF<f><plan>" + plan.toUtf8() + "</plan></f>";
    const QByteArray utf8Plain = "<f><plan>" + plan.toUtf8() + "</plan></f>";

    const std::pair<QByteArray, QString> cases[] = {
        {latin1, plan}, {windows1252, u"\u20ac 5"_s}, {utf16, plan}, {utf8Bom, plan}, {utf8Plain, plan}};
    for (const auto& [bytes, expected] : cases) {
        XmlDocument document;
        ASSERT_TRUE(document.load(bytes)) << document.parseError().reason.toStdString();
        EXPECT_EQ(document.selectSingleNode(u"/f/plan"_s).text(), expected);
        EXPECT_TRUE(XmlDocument::decodeText(bytes).contains(expected));
    }
    EXPECT_EQ(XmlDocument::decodeText(utf8Bom).front(), u'<');
}

TEST(XmlDocument, BytesThatDoNotFitTheirEncodingAreRefused)
{
    XmlDocument document;
    // Latin-1 bytes that do not say so read as broken UTF-8.
    const QByteArray undeclared = "<f>\n<plan>Gro\xDF</plan></f>";
    EXPECT_FALSE(document.load(undeclared));
    EXPECT_EQ(document.parseError().reason, u"An invalid character was found in text content."_s);
    EXPECT_EQ(document.parseError().line, 2);
    EXPECT_EQ(document.parseError().linepos, 10);
    EXPECT_EQ(XmlDocument::decodeText(undeclared), u"<f>\n<plan>Gro\uFFFD</plan></f>"_s);

    const QByteArray unknown = "<?xml version=\"1.0\" encoding=\"x-no-such\"?><f/>";
    EXPECT_FALSE(document.load(unknown));
    EXPECT_EQ(document.parseError().reason, u"System does not support the specified encoding: x-no-such"_s);
    EXPECT_EQ(XmlDocument::decodeText(unknown), QString::fromLatin1(unknown));
}

} // namespace
