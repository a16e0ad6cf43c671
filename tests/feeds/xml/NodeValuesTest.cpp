// SPDX-License-Identifier: MIT
#include "NodeValues.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace Sarnick;

namespace {

TEST(NodeValues, FirstExactMatchOrNothing)
{
    XmlDocument document;
    ASSERT_TRUE(document.load("<type classification=\"peak\" Classification=\"x\" speed=\"\">"
                              "<Name>upper</Name><name>first</name><name>second</name><is_shaped speed=\"64k\">true"
                              "</is_shaped></type>"));
    const XmlNode type = document.documentElement();
    const XmlNodeList children = type.childNodes();

    EXPECT_EQ(GetNodeValue(children, u"name"_s), u"first"_s);
    EXPECT_EQ(GetNodeValue(children, u"NAME"_s), QString());
    EXPECT_EQ(GetNodeValue({}, u"name"_s), QString());
    EXPECT_EQ(GetAttributeValue(type, u"classification"_s), u"peak"_s);
    EXPECT_EQ(GetAttributeValue(type, u"Classification"_s), u"x"_s);
    EXPECT_EQ(GetAttributeValue(type, u"missing"_s), QString());
    EXPECT_EQ(GetAttributeValue(XmlNode(), u"speed"_s), QString());

    const XmlNode shaped = GetNamedNode(children, u"is_shaped"_s);
    EXPECT_EQ(shaped.text(), u"true"_s);
    EXPECT_EQ(GetAttributeValue(shaped, u"speed"_s), u"64k"_s);
    EXPECT_TRUE(GetNamedNode(children, u"quota_allocation"_s).isNull());
}

} // namespace
