// SPDX-License-Identifier: MIT
#pragma once

#include "ClockSeam.h"
#include "ComRuntime.h"
#include "ConnectionPoint.h"
#include "Pelborne/UsageDataInterface.h"
#include "RegistryRoutines.h"
#include "Sarnick/UsageDataInterface.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Texts and identifiers in failure messages as a person reads them.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const Guid& guid, std::ostream* os)
{
    *os << guid.toString().toStdString();
}

// Shared pieces of the component tests: objects made through the component runtime, a Status
// sink for either component and the registry values the components read.
namespace ComponentTestSupport {

struct StatusLine
{
    QString text;
    int16_t level;
};

// Listens to either component's UsageData.
class StatusRecorder final : public Pelborne::__UsageData, public Sarnick::__UsageData
{
public:
    void Status(const QString& szMsg, int16_t intDebug) override { m_lines.append({szMsg, intDebug}); }

    const QList<StatusLine>& lines() const { return m_lines; }
    QStringList texts() const
    {
        QStringList out;
        for (const StatusLine& line : m_lines)
            out << line.text;
        return out;
    }
    // The level of the first line equal to text; -1 when there is none.
    int levelOf(const QString& text) const
    {
        for (const StatusLine& line : m_lines) {
            if (line.text == text)
                return line.level;
        }
        return -1;
    }
    bool anyContains(const QString& part) const { return texts().join(u'\n').contains(part); }
    void clear() { m_lines.clear(); }

private:
    QList<StatusLine> m_lines;
};

// One component's UsageData as the tests drive it, created by programmatic name.
template <class Interface, class Events>
struct Component
{
    std::shared_ptr<ComObject> object;
    std::shared_ptr<Interface> usage;
    EventConnection<Events> events;

    Component(const QString& progId, StatusRecorder& recorder)
    {
        ComError error;
        object = ComRuntime::createObject(progId, &error);
        usage = comQuery<Interface>(object);
        events.connect(object, recorder);
    }

    void setClock(std::shared_ptr<const Clock> clock)
    {
        const std::shared_ptr<ClockSeam> seam = comQuery<ClockSeam>(object);
        ASSERT_TRUE(seam);
        seam->setClock(std::move(clock));
    }
};

using PelborneComponent = Component<Pelborne::_UsageData, Pelborne::__UsageData>;
using SarnickComponent = Component<Sarnick::_UsageData, Sarnick::__UsageData>;

inline QString configKey(const QString& title)
{
    return QStringLiteral("Software\\") + title + QStringLiteral("\\Config");
}

inline void writeText(const QString& key, const QString& name, const QString& value)
{
    QString err;
    ASSERT_TRUE(WriteRegStringValue(HKEY_CURRENT_USER, key, name, value, err)) << err.toStdString();
}

inline void writeNumber(const QString& key, const QString& name, int32_t value)
{
    QString err;
    ASSERT_TRUE(WriteRegWordValue(HKEY_CURRENT_USER, key, name, value, err)) << err.toStdString();
}

inline QString readText(const QString& key, const QString& name)
{
    QString value;
    return GetRegValue(HKEY_CURRENT_USER, key, name, value) ? value : QStringLiteral("(missing)");
}

} // namespace ComponentTestSupport
