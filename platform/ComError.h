// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// An error that a component object hands back to its caller instead of throwing: errors never
// cross a module boundary as exceptions. The caller raises it in its own code if it wants to.
struct ComError
{
    int32_t number = 0;
    QString description;
    QString source;
};

// The result of a property put or method that can raise: nothing on success.
using ComErrorResult = std::optional<ComError>;

// Result codes of the entry points and the runtime (negative: failure).
namespace ComResult {
inline constexpr int32_t Ok = 0;
inline constexpr int32_t False = 1;
inline constexpr int32_t NoInterface = int32_t(0x80004002u);
inline constexpr int32_t InvalidPointer = int32_t(0x80004003u);
inline constexpr int32_t Failed = int32_t(0x80004005u);
inline constexpr int32_t ClassNotAvailable = int32_t(0x80040111u);
inline constexpr int32_t ClassNotRegistered = int32_t(0x80040154u);
inline constexpr int32_t RegistrationFailed = int32_t(0x80040201u);
inline constexpr int32_t LibraryNotLoaded = int32_t(0x800401F8u);

inline bool succeeded(int32_t result)
{
    return result >= 0;
}
} // namespace ComResult

// The run-time errors that object creation reports to the caller.
namespace ComErrors {
inline constexpr int32_t CantCreateObject = 429;
inline constexpr int32_t NoSuchInterface = 430;

inline ComError cantCreateObject(const QString& source = {})
{
    return {CantCreateObject, QStringLiteral("Can't create object"), source};
}
inline ComError noSuchInterface(const QString& source = {})
{
    return {NoSuchInterface, QStringLiteral("Class does not support the expected interface"), source};
}
} // namespace ComErrors
