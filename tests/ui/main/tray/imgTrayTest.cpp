// SPDX-License-Identifier: MIT
#include "imgTray.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
// Pixels that are not fully transparent.
int paintedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}
} // namespace

TEST(imgTrayTest, KeysInImageListOrder)
{
    const QStringList& keys = imgTray::keys();
    ASSERT_EQ(keys.size(), 22);
    EXPECT_EQ(keys.mid(0, 13), QStringList({u"timer_enabled"_s, u"timer_disabled"_s, u"error"_s, u"none_none"_s,
                                            u"ok_ok"_s, u"warn_warn"_s, u"ok_warn"_s, u"over_ok"_s, u"over_over"_s,
                                            u"over_warn"_s, u"warn_ok"_s, u"warn_over"_s, u"ok_over"_s}));
    for (int frame = 1; frame <= 9; ++frame)
        EXPECT_EQ(keys.at(12 + frame), u"working"_s + QString::number(frame));
}

TEST(imgTrayTest, EveryKeyDrawsAtTrayAndPanelSizes)
{
    for (const QString& key : imgTray::keys()) {
        for (int size : {16, 22}) {
            const QPixmap pixmap = imgTray::pixmap(key, size);
            ASSERT_FALSE(pixmap.isNull()) << key.toStdString() << " at " << size;
            EXPECT_EQ(pixmap.size(), QSize(size, size)) << key.toStdString();
            // Something legible: a good part of the square is drawn, not all of it.
            const int painted = paintedPixels(pixmap.toImage());
            EXPECT_GT(painted, size * size / 3) << key.toStdString() << " at " << size;
        }
        const QIcon icon = imgTray::icon(key);
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(icon.cacheKey(), imgTray::icon(key).cacheKey());
        EXPECT_TRUE(icon.availableSizes().contains(QSize(22, 22)));
    }
}

TEST(imgTrayTest, UnknownKeysGiveNothing)
{
    EXPECT_TRUE(imgTray::pixmap(u"ok_blue"_s).isNull());
    EXPECT_TRUE(imgTray::icon(u"working10"_s).isNull());
    EXPECT_TRUE(imgTray::pixmap(u"ok_ok"_s, 0).isNull());
}

TEST(imgTrayTest, StatePicturesAndAnimationFramesAllDiffer)
{
    for (int size : {16, 22}) {
        QSet<QString> seen;
        QList<QImage> images;
        for (const QString& key : imgTray::keys()) {
            if (key.startsWith(u"timer"_s))
                continue;
            images.append(imgTray::pixmap(key, size).toImage());
            seen.insert(key);
        }
        ASSERT_EQ(images.size(), 20);
        for (qsizetype a = 0; a < images.size(); ++a) {
            for (qsizetype b = a + 1; b < images.size(); ++b)
                EXPECT_NE(images[a], images[b]) << "pictures " << a << " and " << b << " at " << size;
        }
    }
    EXPECT_NE(imgTray::pixmap(u"timer_enabled"_s).toImage(), imgTray::pixmap(u"timer_disabled"_s).toImage());
}

TEST(imgTrayTest, PeakHalfLeftOffPeakHalfRight)
{
    // ok_over: green on the left, red on the right.
    const QImage image = imgTray::pixmap(u"ok_over"_s, 22).toImage();
    const QColor left = image.pixelColor(5, 14);
    const QColor right = image.pixelColor(16, 14);
    EXPECT_GT(left.green(), left.red());
    EXPECT_GT(right.red(), right.green());
}

TEST(imgTrayTest, ApplicationIconSizes)
{
    const QIcon icon = imgTray::applicationIcon();
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    EXPECT_GT(paintedPixels(imgTray::applicationPixmap(16).toImage()), 200);
}
