// SPDX-License-Identifier: MIT
#pragma once

#include "XmlDocument.h"

#include <QString>

// Values out of the feed's nodes; names compare exactly, letter case included. None of them fails:
// a missing node or attribute gives the empty text or Nothing.
namespace Sarnick {

// The typed value, as text, of the first node of the list named name.
QString GetNodeValue(const XmlNodeList& nodes, const QString& name);
// The value of the element's first attribute named name.
QString GetAttributeValue(const XmlNode& element, const QString& name);
// The first node of the list named name.
XmlNode GetNamedNode(const XmlNodeList& nodes, const QString& name);

} // namespace Sarnick
