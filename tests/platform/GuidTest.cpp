// SPDX-License-Identifier: MIT
#include "Guid.h"

#include "ConnectionPoint.h"
#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr Guid Sample = Guid::literal("{39C93B1A-BE1E-4A0C-9BED-70D37687A510}");

TEST(Guid, TheRegistryTextFormRoundTrips)
{
    static_assert(Sample.data1 == 0x39C93B1Au && Sample.data2 == 0xBE1E && Sample.data3 == 0x4A0C);
    static_assert(Sample.data4[0] == 0x9B && Sample.data4[7] == 0x10);
    EXPECT_EQ(Sample.toString(), u"{39C93B1A-BE1E-4A0C-9BED-70D37687A510}"_s);
    EXPECT_EQ(Guid::fromString(u"{39c93b1a-be1e-4a0c-9bed-70d37687a510}"_s), Sample);
    EXPECT_EQ(Guid().toString(), u"{00000000-0000-0000-0000-000000000000}"_s);
    EXPECT_TRUE(Guid().isNull());
    EXPECT_FALSE(Sample.isNull());
    EXPECT_NE(Guid::literal("{39C93B1A-BE1E-4A0C-9BED-70D37687A511}"), Sample);
}

TEST(Guid, AnythingElseIsNoIdentifier)
{
    for (const QString& text :
         {u"39C93B1A-BE1E-4A0C-9BED-70D37687A510"_s, u"{39C93B1A-BE1E-4A0C-9BED-70D37687A51}"_s,
          u"{39C93B1A-BE1E-4A0C-9BED-70D37687A5100}"_s, u"{39C93B1ABBE1E-4A0C-9BED-70D37687A510}"_s,
          u"{39C93B1G-BE1E-4A0C-9BED-70D37687A510}"_s, u"{39C93B1A-BE1E-4A0C-9BED-70D37687A51\u00e9}"_s, QString()}) {
        EXPECT_FALSE(Guid::fromString(text)) << text.toStdString();
    }
}

struct Sink
{
    static constexpr Guid InterfaceId = Sample;
    QStringList heard;
    void Status(const QString& text) { heard << text; }
};

TEST(ConnectionPoint, SinksHearEventsInConnectionOrderUntilDisconnected)
{
    ConnectionPoint<Sink> point;
    Sink a;
    Sink b;
    QStringList order;
    EXPECT_EQ(point.Advise(nullptr), 0u);
    const uint32_t first = point.Advise(&a);
    const uint32_t second = point.Advise(&b);
    EXPECT_NE(first, second);
    point.fire([&](Sink& sink) {
        sink.Status(u"one"_s);
        order << (&sink == &a ? u"a"_s : u"b"_s);
    });
    EXPECT_EQ(order, (QStringList{u"a"_s, u"b"_s}));
    EXPECT_TRUE(point.Unadvise(first));
    EXPECT_FALSE(point.Unadvise(first));
    point.fire([](Sink& sink) { sink.Status(u"two"_s); });
    EXPECT_EQ(a.heard, QStringList{u"one"_s});
    EXPECT_EQ(b.heard, (QStringList{u"one"_s, u"two"_s}));
    EXPECT_TRUE(point.Unadvise(second));
    EXPECT_TRUE(point.empty());
}

} // namespace
