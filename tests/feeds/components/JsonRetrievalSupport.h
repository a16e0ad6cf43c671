// SPDX-License-Identifier: MIT
#pragma once

#include "ComponentTestSupport.h"
#include "FakeProvider.h"
#include "FileFunctions.h"
#include "MonthDescription.h"
#include "MonthJsonRenderer.h"
#include "TestEnvironment.h"

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

// Pelborne's UsageData against the fake provider, with its cache in a folder of the test's own.
namespace JsonRetrievalSupport {

using namespace ComponentTestSupport;

inline const QString Alice = QStringLiteral("alice");
inline const QString AlicePassword = QStringLiteral("sunshine 42");
inline const QString CRLF = QStringLiteral("\r\n");

inline QString pelborneKey()
{
    return configKey(QStringLiteral("Pelborne"));
}

// A usage reply of the provider, exactly as it sends the sample account's March 2024.
inline QByteArray aliceMarchReply(bool numbersAsText = false)
{
    QFile file(QStringLiteral(TALLY_FIXTURES_DIR) + QStringLiteral("/provider/accounts/alice/usage-202403.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString error;
    const std::optional<MonthDescription> month =
        MonthDescription::fromJson(file.readAll(), QDate(2024, 3, 1), QDate(2024, 3, 31), &error);
    return month ? MonthJsonRenderer::usage(*month, numbersAsText) : QByteArray();
}

// Answers every usage request with body.
inline FakeProvider::Rule usageReply(const QByteArray& body, int status = 200)
{
    FakeProvider::Rule rule;
    rule.path = QStringLiteral("/cgi-bin/api.cgi");
    rule.queryContains = QStringLiteral("_SERVICE=");
    rule.status = status;
    rule.body = body;
    return rule;
}

class JsonRetrieval : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(provider.start());
        // The sample account's fixed month is the provider's current one.
        provider.setToday(QDate(2024, 3, 31));
        writeText(pelborneKey(), QStringLiteral("ToolboxURL"), provider.baseUrl());
        pelborne = std::make_unique<PelborneComponent>(QStringLiteral("Pelborne.UsageData"), recorder);
        ASSERT_TRUE(pelborne->usage);
        usage().intTimeout(10);
        usage().szAccountName(QStringLiteral("Quolla"));
        usage().szCachePath(cacheFolder);
    }

    Pelborne::_UsageData& usage() { return *pelborne->usage; }

    bool retrieve(const QString& user = Alice, const QString& password = AlicePassword, bool cached = false)
    {
        fromCache = cached;
        return usage().RetrieveData(user, password, fromCache);
    }
    bool retrieveMonth(const LocalDateTime& month, bool cached = false, const QString& user = Alice,
                       const QString& password = AlicePassword)
    {
        fromCache = cached;
        return usage().RetrieveData(user, password, fromCache, {}, {}, {}, true, month);
    }

    QString cacheFile(const QString& name) const { return cacheFolder + u'/' + name; }
    QByteArray cacheBytes(const QString& name) const { return TestEnvironment::readFile(cacheFile(name)); }
    QString fileTime(const QString& name) const
    {
        LocalDateTime when;
        return FileDate(cacheFile(name), when) ? when.toString() : QString();
    }

    // The raw queries of the usage requests.
    QStringList usageQueries() const
    {
        QStringList queries;
        for (const FakeProvider::Request& request : provider.requests()) {
            if (request.hasFormItem(QStringLiteral("Usage")))
                queries << QString::fromLatin1(request.rawQuery);
        }
        return queries;
    }

    // "Pelborne.RetrieveData: " & text at the level.
    int levelOf(const QString& text) const
    {
        return recorder.levelOf(QStringLiteral("Pelborne.RetrieveData: ") + text);
    }

    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + QStringLiteral("/provider")};
    StatusRecorder recorder;
    std::unique_ptr<PelborneComponent> pelborne;
    QString cacheFolder = TestEnvironment::freshFolder(QStringLiteral("cache"));
    bool fromCache = false;
};

} // namespace JsonRetrievalSupport
