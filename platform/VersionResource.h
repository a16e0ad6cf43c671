// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Reads the version block (see VersionBlockFormat.h) that a deliverable carries in its ELF file;
// the stand-in for the platform's file version resources. A file that is not a well-formed
// little-endian ELF64 file, or has no valid block, has no version information: nothing here
// fails in any other way.
namespace VersionResource {

// Size in bytes of the file's version block; 0 when the file has none or cannot be read.
uint32_t infoSize(const QString& path);

// The file's whole version block; false (and block emptied) when it has none.
bool readInfo(const QString& path, QByteArray& block);

// Looks up a part of a block read by readInfo; false when the block lacks it. Sub-blocks, compared
// without regard to case:
//   "\"                                the fixed information (VersionBlockFormat::FixedVersionInfo)
//   "\VarFileInfo\Translation"         the 4 bytes of the translation entry
//   "\StringFileInfo\<key>\<name>"     the value of a string, with its terminating NUL
bool queryValue(const QByteArray& block, const QString& subBlock, QByteArray& value);

} // namespace VersionResource
