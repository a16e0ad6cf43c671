// SPDX-License-Identifier: MIT
#pragma once

#include "RegistryContent.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The text form of a hive, in the spirit of a registry export so that a person can read and
// edit it:
//
//   Tallymeter registry 1
//
//   [Software\Tallymeter\Config]
//   @="default value"
//   "Path"="/home/me/Tallymeter"
//   "debug"=dword:0000000a
//   "Blob"=hex:01,ff
//   "Multi"=hex(7):61,00,62,00
//
// Quoted texts escape \\ \" \n \r \t, NUL as \0 and other control bytes as \xHH; everything else,
// UTF-8 included, stands as it is. Key path components escape %, \, ] and control bytes as %HH.
// Lines starting with ; or # are comments; a UTF-8 byte-order mark before the first line is skipped. A key with no
// values is written only when no other key lies below it, since a key line creates every key on its path; so the text
// grows with the keys' own paths, however deep they nest. Keys deeper than RegistryContent::MaxDepth are refused.
//
// Whatever text parse accepts, serialise writes back to the same content, and a text serialise
// wrote is serialised again unchanged.
namespace RegistryFileFormat {
inline constexpr char Header[] = "Tallymeter registry 1";

// nullopt (and a message naming the line) when the text is not in this form.
std::optional<RegistryContent> parse(const QByteArray& text, QString* error = nullptr);
QByteArray serialise(const RegistryContent& content);
} // namespace RegistryFileFormat
