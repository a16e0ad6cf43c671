// SPDX-License-Identifier: MIT
#include "CoreTestContext.h"

#include "RegistryHive.h"
#include "RegistryStore.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

CoreTestContext::CoreTestContext(const QString& name)
    : clock(*LocalDateTime::fromParts(2008, 3, 20, 11, 0, 0)),
      writer([] { return QDateTime(QDate(2008, 3, 20), QTime(11, 0, 0, 250)); }),
      log(app, registry, settings, run, window, clock, writer), folder(TestEnvironment::freshFolder(name))
{
    RegistryStore::setCurrentUserPath(folder + u"/registry.reg"_s);
    run.DataDir = folder + u"/data"_s;
    QDir().mkpath(run.DataDir);
    setDword(app.appKey(), u"debug"_s, 100);
}

CoreTestContext::~CoreTestContext()
{
    RegistryStore::setCurrentUserPath({});
}

void CoreTestContext::setDword(const QString& key, const QString& name, int32_t value)
{
    QString szErr;
    SystemRegistry().WriteRegWordValue(HKEY_CURRENT_USER, key, name, value, szErr);
}

void CoreTestContext::setText(const QString& key, const QString& name, const QString& value)
{
    QString szErr;
    SystemRegistry().WriteRegStringValue(HKEY_CURRENT_USER, key, name, value, szErr);
}

std::optional<int32_t> CoreTestContext::dword(const QString& key, const QString& name)
{
    int32_t value = 0;
    if (!SystemRegistry().GetRegWordValue(HKEY_CURRENT_USER, key, name, value))
        return std::nullopt;
    return value;
}

std::optional<QString> CoreTestContext::text(const QString& key, const QString& name)
{
    QString value;
    if (!SystemRegistry().GetRegValue(HKEY_CURRENT_USER, key, name, value))
        return std::nullopt;
    return value;
}

void CoreTestContext::removeValue(const QString& key, const QString& name)
{
    SystemRegistry().DeleteRegValue(HKEY_CURRENT_USER, key, name);
}

void CoreTestContext::useProvider(const QString& baseUrl)
{
    for (const QString& component : {u"Pelborne"_s, u"Sarnick"_s})
        setText(u"Software\\"_s + component + u"\\Config"_s, u"ToolboxURL"_s, baseUrl);
    setText(u"Software\\Sarnick\\Config"_s, u"Path"_s, run.DataDir);
}

QString CoreTestContext::logFile() const
{
    return run.DataDir + u"/debug.log"_s;
}

QList<CoreTestContext::LogLine> CoreTestContext::logLines() const
{
    QList<LogLine> lines;
    QFile file(logFile());
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    static const QRegularExpression layout(u"^\\S+ \\[(-?\\d+)\\] (.*)$"_s);
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = layout.match(line);
        if (match.hasMatch())
            lines.append({int16_t(match.captured(1).toInt()), match.captured(2)});
    }
    return lines;
}

QStringList CoreTestContext::logTexts() const
{
    QStringList texts;
    for (const LogLine& line : logLines())
        texts.append(line.text);
    return texts;
}
