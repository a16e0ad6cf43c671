// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class LogFrontEnd;

// How a window title is compared with a search pattern.
namespace TitleMatch {
inline constexpr int32_t BeginsWith = 0;
inline constexpr int32_t Contains = 1;
inline constexpr int32_t Exact = 2;
} // namespace TitleMatch

// Whether a window title fits the pattern under the match mode (any other mode never matches).
// Only the first 255 characters of a title count, an empty title never matches, and a
// case-insensitive test compares both upper-cased. Pure.
bool TitleMatches(const QString& title, const QString& pattern, int32_t matchMode, bool caseSensitive);

// The first of the titles (in the order given) that matches, or -1. Pure.
qsizetype FindWindowByTitle(const QStringList& titles, const QString& pattern, int32_t matchMode, bool caseSensitive);

// Hands the heap's free pages back to the system after a refresh. Never fails.
// (Stands in for trimming the working set: malloc_trim.)
void MemoryMinimise(LogFrontEnd& log);
