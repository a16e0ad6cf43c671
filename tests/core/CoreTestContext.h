// SPDX-License-Identifier: MIT
#pragma once

#include "AppInfo.h"
#include "FaultyRegistry.h"
#include "LocalDateTime.h"
#include "LogFileWriter.h"
#include "LogFrontEnd.h"
#include "RecordingWindowSeam.h"
#include "RunState.h"
#include "Settings.h"
#include "TestPrinters.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The core's collaborators for one test: a registry file and a data folder of its own, a
// recording window, a fixed clock and a log front end writing every level to debug.log.
class CoreTestContext
{
public:
    struct LogLine
    {
        int16_t level = 0;
        QString text;
    };

    explicit CoreTestContext(const QString& name);
    ~CoreTestContext();
    CoreTestContext(const CoreTestContext&) = delete;
    CoreTestContext& operator=(const CoreTestContext&) = delete;

    AppInfo app{QStringLiteral("Tallymeter"), QStringLiteral("Tallyroo"), 1, 3, 2};
    FaultyRegistry registry;
    Settings settings;
    RunState run;
    RecordingWindowSeam window;
    FixedClock clock;
    LogFileWriter writer;
    LogFrontEnd log;

    // Registry helpers under HKEY_CURRENT_USER.
    void setDword(const QString& key, const QString& name, int32_t value);
    void setText(const QString& key, const QString& name, const QString& value);
    std::optional<int32_t> dword(const QString& key, const QString& name);
    std::optional<QString> text(const QString& key, const QString& name);
    void removeValue(const QString& key, const QString& name);
    // Points both feed components at a provider and keeps their cache in the data folder, as
    // start-up does; without it they would take the test program's own folder.
    void useProvider(const QString& baseUrl);

    // The lines of debug.log so far, oldest first.
    QList<LogLine> logLines() const;
    QStringList logTexts() const;
    QString logFile() const;

    // The folder of this test's own files.
    QString folder;
};
