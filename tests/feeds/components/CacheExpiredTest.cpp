// SPDX-License-Identifier: MIT
#include "ComponentTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace ComponentTestSupport;

namespace {

const LocalDateTime Now = *LocalDateTime::fromParts(2024, 3, 10, 12, 0, 0);

template <class ComponentType>
struct Traits;

template <>
struct Traits<PelborneComponent>
{
    static QString title() { return u"Pelborne"_s; }
    static QString other() { return u"Sarnick"_s; }
};

template <>
struct Traits<SarnickComponent>
{
    static QString title() { return u"Sarnick"_s; }
    static QString other() { return u"Pelborne"_s; }
};

// The same rules in both components, each under its own key and with its own prefix.
template <class ComponentType>
class CacheExpired : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString& title : {title_(), Traits<ComponentType>::other()}) {
            DeleteRegValue(HKEY_CURRENT_USER, configKey(title), u"alice"_s);
            DeleteRegValue(HKEY_CURRENT_USER, configKey(title), u"alice@quolla.example"_s);
        }
        component = std::make_unique<ComponentType>(title_() + u".UsageData"_s, recorder);
        ASSERT_TRUE(component->usage);
        component->setClock(clock);
        recorder.clear();
    }

    static QString title_() { return Traits<ComponentType>::title(); }
    QString line(const QString& text) const { return title_() + u".CacheExpired: "_s + text; }
    void storeLastRefresh(const QString& user, const QString& text) { writeText(configKey(title_()), user, text); }
    void storeAge(const QString& user, int64_t seconds) { storeLastRefresh(user, Now.addSeconds(-seconds).toString()); }
    bool expired(const QString& user, bool quiet) { return component->usage->CacheExpired(user, quiet); }

    std::shared_ptr<FixedClock> clock = std::make_shared<FixedClock>(Now);
    StatusRecorder recorder;
    std::unique_ptr<ComponentType> component;
};

using Components = ::testing::Types<PelborneComponent, SarnickComponent>;
TYPED_TEST_SUITE(CacheExpired, Components);

TYPED_TEST(CacheExpired, WithoutAValueAFetchIsDueSilently)
{
    EXPECT_TRUE(this->expired(u"alice"_s, false));
    EXPECT_TRUE(this->expired(u"alice"_s, true));
    EXPECT_TRUE(this->recorder.lines().isEmpty());
}

TYPED_TEST(CacheExpired, TheIntervalEndsAt840Seconds)
{
    for (int64_t age : {int64_t(0), int64_t(1), int64_t(839)}) {
        this->storeAge(u"alice"_s, age);
        EXPECT_FALSE(this->expired(u"alice"_s, true)) << age;
    }
    for (int64_t age : {int64_t(840), int64_t(841), int64_t(86400 * 40)}) {
        this->storeAge(u"alice"_s, age);
        EXPECT_TRUE(this->expired(u"alice"_s, true)) << age;
    }
    // Quiet: nothing at all, whatever the answer.
    EXPECT_TRUE(this->recorder.lines().isEmpty());
}

TYPED_TEST(CacheExpired, ALoudCheckExplainsItsAnswer)
{
    this->storeAge(u"alice"_s, 839);
    EXPECT_FALSE(this->expired(u"alice"_s, false));
    const QString stored = Now.addSeconds(-839).toString();
    const QStringList expected{
        this->line(u"last refresh was: "_s + stored),
        this->line(u"time since last refresh: 839 seconds"_s),
        this->line(u"minimum interval: 840 seconds"_s),
        this->line(u"forcing cached read instead of fetch"_s),
    };
    EXPECT_EQ(this->recorder.texts(), expected);
    const QList<int16_t> levels{6, 10, 10, 6};
    for (qsizetype i = 0; i < levels.size() && i < this->recorder.lines().size(); ++i)
        EXPECT_EQ(this->recorder.lines()[i].level, levels[i]) << i;

    this->recorder.clear();
    this->clock->advanceSeconds(1);
    EXPECT_TRUE(this->expired(u"alice"_s, false));
    const QStringList atTheLimit{expected[0], this->line(u"time since last refresh: 840 seconds"_s), expected[2]};
    EXPECT_EQ(this->recorder.texts(), atTheLimit);
}

TYPED_TEST(CacheExpired, AFutureValueIsIgnoredAndReportedEvenWhenQuiet)
{
    const QString ahead = Now.addSeconds(3600).toString();
    this->storeLastRefresh(u"alice"_s, ahead);
    for (bool quiet : {true, false}) {
        this->recorder.clear();
        EXPECT_TRUE(this->expired(u"alice"_s, quiet));
        const QString warning = this->line(u"last refresh date is in the future, ignoring it: "_s + ahead);
        EXPECT_EQ(this->recorder.levelOf(warning), 2) << quiet;
        EXPECT_EQ(this->recorder.lines().size(), quiet ? 1 : 4);
    }
    EXPECT_EQ(this->recorder.texts()[1], this->line(u"time since last refresh: -3600 seconds"_s));
}

TYPED_TEST(CacheExpired, AGarbledValueIsReportedEvenWhenQuiet)
{
    for (const QString& garbled : {u"2024-13-01 10:00:00"_s, u"yesterday"_s, QString(), u"2024-02-30 10:00:00"_s}) {
        this->storeLastRefresh(u"alice"_s, garbled);
        for (bool quiet : {true, false}) {
            this->recorder.clear();
            EXPECT_TRUE(this->expired(u"alice"_s, quiet)) << garbled.toStdString();
            EXPECT_EQ(this->recorder.texts(), QStringList{this->line(u"invalid last refresh date: "_s + garbled)});
            EXPECT_EQ(this->recorder.levelOf(this->line(u"invalid last refresh date: "_s + garbled)), 6);
        }
    }
}

TYPED_TEST(CacheExpired, TheValueBelongsToTheUserNameAsGivenAndToTheComponent)
{
    this->storeAge(u"alice"_s, 10);
    EXPECT_FALSE(this->expired(u"alice"_s, true));
    EXPECT_TRUE(this->expired(u"alice@quolla.example"_s, true));
    // Value names ignore letter case, as registry value names do.
    EXPECT_FALSE(this->expired(u"ALICE"_s, true));

    DeleteRegValue(HKEY_CURRENT_USER, configKey(this->title_()), u"alice"_s);
    this->storeAge(u"alice@quolla.example"_s, 10);
    EXPECT_TRUE(this->expired(u"alice"_s, true));
    EXPECT_FALSE(this->expired(u"alice@quolla.example"_s, true));

    // A fetch through the other component does not make this one's cache fresh.
    writeText(configKey(Traits<TypeParam>::other()), u"alice"_s, Now.addSeconds(-10).toString());
    EXPECT_TRUE(this->expired(u"alice"_s, true));
}

} // namespace
