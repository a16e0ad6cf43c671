// SPDX-License-Identifier: MIT
#pragma once

#include "CoreTestContext.h"
#include "frmMain.h"

#include "LocalDateTime.h"
#include "qoMonth.h"

#include <QCoreApplication>
#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// A main window over a test registry, with the end of the program, the tray and the information
// box replaced by recorders.
class frmMainTest : public ::testing::Test
{
protected:
    CoreTestContext core{QStringLiteral("frmMain")};
    std::unique_ptr<frmMain> window;
    int ended = 0;
    bool trayThere = true;
    struct Box
    {
        QString text;
        QString title;
    };
    QList<Box> boxes;

    frmMain& open()
    {
        window = std::make_unique<frmMain>(
            MainWindowContext{core.app, core.settings, core.run, core.log, core.registry, core.clock});
        window->setEndProgram([this] { ++ended; });
        window->setTrayPresent([this] { return trayThere; });
        window->setInformationBox([this](const QString& text, const QString& title) { boxes.append({text, title}); });
        return *window;
    }

    void setOption(uint32_t bit, bool on)
    {
        const uint32_t flags = uint32_t(core.settings.OptionFlags);
        core.settings.OptionFlags = int32_t(on ? flags | bit : flags & ~bit);
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    bool logged(const QString& text) const { return core.logTexts().contains(text); }

    template <typename T>
    T* find(const QString& name) const
    {
        return window->findChild<T*>(name);
    }

    // Three days from 1 March with peak 10, 20, 40 and off-peak 1, 2, 4.
    static qoMonth threeDays()
    {
        qoMonth month;
        month.DailyHeaders = {QStringLiteral("Date"),     QStringLiteral("Peak"),  QStringLiteral("OffPeak"),
                              QStringLiteral("Freezone"), QStringLiteral("Total"), QString()};
        const float peak[] = {10.0f, 20.0f, 40.0f};
        const float offpeak[] = {1.0f, 2.0f, 4.0f};
        for (int i = 0; i < 3; ++i) {
            month.DailyDates << LocalDateTime::fromDate(QDate(2024, 3, 1).addDays(i));
            month.DailyPeak << peak[i];
            month.DailyOffpeak << offpeak[i];
            month.DailyFreezone << 0.0f;
            month.DailyTotals << peak[i] + offpeak[i];
            month.DailyUploads << 0.0f;
        }
        return month;
    }
};
