// SPDX-License-Identifier: MIT
#pragma once

#include "LocalDateTime.h"

#include <QString>

#include <cstdint>

// Whole-file read and write, file existence and date, deletion and renaming with error texts.
// Texts are UTF-8 on disk.

// The file's lines, each preceded by CR LF (a line ends at LF, CR LF or a lone CR; a final line
// break adds nothing; an empty file gives an empty text). Raises RunTimeError with source
// "FileOpen" when the file cannot be read.
QString FileOpen(const QString& path);

// The file's bytes exactly as stored. Raises RunTimeError with source "FileOpen" as FileOpen does.
QByteArray FileOpenBytes(const QString& path);

// The file's bytes appended to bytes: 0, or the system error (errno) that stopped the read.
int ReadFileBytes(const QString& path, QByteArray& bytes);

// True when the path names an existing file or folder.
bool FileExist(const QString& path);

// Replaces the file's content with text, atomically: the text goes to a temporary file in the
// same folder that then takes the file's place, so a failed write leaves the old file whole. An
// existing file keeps its permissions; a read-only one is refused. Raises RunTimeError with
// source "SaveFile".
void SaveFile(const QString& path, const QString& text);

// SaveFile for bytes that are stored exactly as given.
void SaveFileBytes(const QString& path, const QByteArray& bytes);

// Writes the bytes to a file that this call makes (it never opens one that exists), readable by
// the owner only. False when the name is taken; raises RunTimeError with source "SaveFile" on any
// other failure, leaving nothing behind.
bool SaveNewFileBytes(const QString& path, const QByteArray& bytes);

// The file's last modification as local wall-clock time; false, leaving it untouched, on failure.
bool FileDate(const QString& path, LocalDateTime& when);

// Deletes a file; on failure code is the system error and text its message.
bool MyDeleteFile(const QString& path, int32_t& code, QString& text);

// Renames (moves) a file or folder; fails when newPath already exists. On failure text is
// "[code] failed to rename <old> to <new>".
bool MyRenameFile(const QString& oldPath, const QString& newPath, QString& text);
