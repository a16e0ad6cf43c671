// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <exception>

// "[number] description", the form every log line and error text uses.
inline QString bracketedError(int32_t number, const QString& description)
{
    return u'[' + QString::number(number) + u"] " + description;
}

// A failure that a procedure raises to its caller: a number, a description and the source that
// raised it. Callers catch it inside the procedure that owns the operation; it never crosses a
// component boundary, a Qt slot or the event loop.
class RunTimeError : public std::exception
{
public:
    RunTimeError(int32_t number, QString description, QString source = {})
        : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
          m_what(m_description.toUtf8())
    {}

    int32_t number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }

    QString text() const { return bracketedError(m_number, m_description); }

    const char* what() const noexcept override { return m_what.constData(); }

private:
    int32_t m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

// Numbers of the run-time errors this code raises itself.
namespace RunTimeErrorNumber {
inline constexpr int32_t TypeMismatch = 13;       // a text that does not convert to a number
inline constexpr int32_t SubscriptOutOfRange = 9; // reading past the end of a buffer
inline constexpr int32_t KeyAlreadyExists = 457;  // a dictionary key added twice
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathFileAccessError = 75;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t InvalidProcedureCall = 5; // an argument out of its range
} // namespace RunTimeErrorNumber
