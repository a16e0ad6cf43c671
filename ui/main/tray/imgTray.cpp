// SPDX-License-Identifier: MIT
#include "imgTray.h"

#include "TrayPictures.h"

#include <QHash>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
const QStringList StateKeys = {u"ok_ok"_s,     u"warn_warn"_s, u"ok_warn"_s,   u"over_ok"_s, u"over_over"_s,
                               u"over_warn"_s, u"warn_ok"_s,   u"warn_over"_s, u"ok_over"_s};

QImage draw(const QString& key, int size)
{
    if (key == u"timer_enabled"_s || key == u"timer_disabled"_s)
        return TrayPictures::timer(size, key == u"timer_enabled"_s);
    if (key == u"error"_s)
        return TrayPictures::error(size);
    if (key.startsWith(u"working"_s))
        return TrayPictures::working(size, key.mid(7).toInt());
    const QStringList halves = key.split(u'_');
    return TrayPictures::meter(size, TrayPictures::stateColour(halves.value(0)),
                               TrayPictures::stateColour(halves.value(1)));
}

// Kept for the whole run and never destroyed, so no pixmap outlives the application object.
QHash<QString, QIcon>& iconCache()
{
    static auto* cache = new QHash<QString, QIcon>;
    return *cache;
}
} // namespace

const QStringList& imgTray::keys()
{
    static const QStringList all = [] {
        QStringList list{u"timer_enabled"_s, u"timer_disabled"_s, u"error"_s, u"none_none"_s};
        list += StateKeys;
        for (int frame = 1; frame <= 9; ++frame)
            list += u"working"_s + QString::number(frame);
        return list;
    }();
    return all;
}

const QList<int>& imgTray::iconSizes()
{
    static const QList<int> sizes{16, 22, 24, 32, 48, 64};
    return sizes;
}

QPixmap imgTray::pixmap(const QString& key, int size, qreal ratio)
{
    if (size <= 0 || !keys().contains(key) || !(ratio > 0))
        return {};
    QPixmap picture = QPixmap::fromImage(draw(key, int(std::ceil(size * ratio))));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

QIcon imgTray::icon(const QString& key)
{
    if (!keys().contains(key))
        return {};
    QHash<QString, QIcon>& cache = iconCache();
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QIcon icon;
    for (int size : iconSizes())
        icon.addPixmap(pixmap(key, size));
    cache.insert(key, icon);
    return icon;
}

QPixmap imgTray::applicationPixmap(int size)
{
    if (size <= 0)
        return {};
    return QPixmap::fromImage(TrayPictures::application(size));
}

QIcon imgTray::applicationIcon()
{
    static const QString key = u"application"_s;
    QHash<QString, QIcon>& cache = iconCache();
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addPixmap(applicationPixmap(size));
    cache.insert(key, icon);
    return icon;
}
