// SPDX-License-Identifier: MIT
#pragma once

#include "ComponentTestSupport.h"
#include "FakeProvider.h"
#include "FileFunctions.h"
#include "TestEnvironment.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

// Sarnick's UsageData against the fake provider, with its cache in a folder of the test's own and
// its clock fixed inside the sample account's month.
namespace SarnickRetrievalSupport {

using namespace ComponentTestSupport;

inline const QString Alice = QStringLiteral("alice");
inline const QString AlicePassword = QStringLiteral("sunshine 42");
inline const QString CRLF = QStringLiteral("\r\n");
inline const QString FeedPath = QStringLiteral("/cgi-bin/new/volume_usage_xml.cgi");

inline QString sarnickKey()
{
    return configKey(QStringLiteral("Sarnick"));
}

inline QByteArray fixture(const QString& relativePath)
{
    QFile file(QStringLiteral(TALLY_FIXTURES_DIR) + QStringLiteral("/provider/") + relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers every feed request with body.
inline FakeProvider::Rule feedReply(const QByteArray& body, int status = 200, const QByteArray& contentType = {})
{
    FakeProvider::Rule rule;
    rule.path = FeedPath;
    rule.status = status;
    rule.body = body;
    rule.contentType = contentType;
    return rule;
}

// A feed document with the given parts of volume_usage (after quota_reset) and of the document
// (after account_info).
inline QByteArray feedDocument(const QByteArray& volumeUsage, const QByteArray& more = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<qo_feed>\n"
           "<account_info><product>Home</product><plan>Value</plan></account_info>\n" +
           more + "<volume_usage><quota_reset><anniversary>1</anniversary></quota_reset>\n" + volumeUsage +
           "</volume_usage>\n</qo_feed>\n";
}

class SarnickRetrieval : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(provider.start());
        // The sample account's fixed month is the provider's current one.
        provider.setToday(QDate(2024, 3, 31));
        writeText(sarnickKey(), QStringLiteral("ToolboxURL"), provider.baseUrl());
        sarnick = std::make_unique<SarnickComponent>(QStringLiteral("Sarnick.UsageData"), recorder);
        ASSERT_TRUE(sarnick->usage);
        // A minute ahead of the system's time (in the zone the test has set by now), so that a file
        // written during the test is not in the future.
        clock->set(SystemClock().now().addSeconds(60));
        sarnick->setClock(clock);
        usage().intTimeout(10);
        usage().szCachePath(cacheFolder);
    }

    Sarnick::_UsageData& usage() { return *sarnick->usage; }

    bool retrieve(const QString& user = Alice, const QString& password = AlicePassword, bool cached = false)
    {
        recorder.clear();
        fromCache = cached;
        return usage().RetrieveData(user, password, fromCache);
    }
    bool retrieveMonth(const LocalDateTime& month, bool cached = false, const QString& user = Alice)
    {
        recorder.clear();
        fromCache = cached;
        return usage().RetrieveData(user, AlicePassword, fromCache, {}, {}, {}, true, month);
    }
    // A cached read of the given document as alice's current month.
    bool readCached(const QByteArray& document)
    {
        writeCache(QStringLiteral("alice.xml"), document);
        return retrieve(Alice, AlicePassword, true);
    }

    QString cacheFile(const QString& name) const { return cacheFolder + u'/' + name; }
    QByteArray cacheBytes(const QString& name) const { return TestEnvironment::readFile(cacheFile(name)); }
    void writeCache(const QString& name, const QByteArray& bytes) const { SaveFileBytes(cacheFile(name), bytes); }
    QStringList cacheFolderFiles() const { return QDir(cacheFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    // The raw queries of the feed requests.
    QStringList feedQueries() const
    {
        QStringList queries;
        for (const FakeProvider::Request& request : provider.requests()) {
            if (request.path == FeedPath)
                queries << QString::fromLatin1(request.rawQuery);
        }
        return queries;
    }

    // The level of "Sarnick.RetrieveData: " & text; -1 when it was not raised.
    int levelOf(const QString& text) const { return recorder.levelOf(QStringLiteral("Sarnick.RetrieveData: ") + text); }
    bool raised(const QString& text) const { return levelOf(text) >= 0; }

    FakeProvider provider{QStringLiteral(TALLY_FIXTURES_DIR) + QStringLiteral("/provider")};
    StatusRecorder recorder;
    std::shared_ptr<FixedClock> clock = std::make_shared<FixedClock>();
    std::unique_ptr<SarnickComponent> sarnick;
    QString cacheFolder = TestEnvironment::freshFolder(QStringLiteral("cache"));
    bool fromCache = false;
};

} // namespace SarnickRetrievalSupport
