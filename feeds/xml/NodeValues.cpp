// SPDX-License-Identifier: MIT
#include "NodeValues.h"

namespace Sarnick {

QString GetNodeValue(const XmlNodeList& nodes, const QString& name)
{
    return GetNamedNode(nodes, name).nodeTypedValue();
}

QString GetAttributeValue(const XmlNode& element, const QString& name)
{
    for (const XmlAttribute& attribute : element.attributes()) {
        if (attribute.name == name)
            return attribute.value;
    }
    return {};
}

XmlNode GetNamedNode(const XmlNodeList& nodes, const QString& name)
{
    for (const XmlNode& node : nodes) {
        if (node.nodeName() == name)
            return node;
    }
    return {};
}

} // namespace Sarnick
