// SPDX-License-Identifier: MIT
#include "FormPlacement.h"

#include "AppInfo.h"
#include "LogFrontEnd.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString HeightValue = u"frmMainHeight"_s;
const QString WidthValue = u"frmMainWidth"_s;
const QString TopValue = u"frmMainTop"_s;
const QString LeftValue = u"frmMainLeft"_s;

// Margin from the screen's edges of a window that has never been placed.
constexpr int32_t FirstPlacementMargin = 1500;
constexpr int16_t PlacementLogLevel = 8;

// Pixels to twips as a whole number, halves to even; kept inside 32 bits so that a freak
// screen size cannot wrap the window off to the other side.
int32_t toTwips(int32_t pixels, double twipsPerPixel)
{
    const double twips = std::nearbyint(double(pixels) * twipsPerPixel);
    if (std::isnan(twips))
        return 0;
    if (twips <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (twips >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(twips);
}

// Window arithmetic that may not wrap either.
int32_t difference(int32_t a, int32_t b)
{
    const int64_t value = int64_t(a) - int64_t(b);
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return int32_t(value);
}
} // namespace

TwipsPerPixel TwipsPerPixel::ofPrimaryScreen()
{
    TwipsPerPixel tpp;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return tpp;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return tpp;
    if (screen->logicalDotsPerInchX() > 0)
        tpp.x = 1440.0 / screen->logicalDotsPerInchX();
    if (screen->logicalDotsPerInchY() > 0)
        tpp.y = 1440.0 / screen->logicalDotsPerInchY();
    return tpp;
}

FormPlacement::FormPlacement(const AppInfo& app, RegistryAccess& registry, LogFrontEnd& log, const RunState& run)
    : m_app(app), m_registry(registry), m_log(log), m_run(run)
{}

FormPlacementValues FormPlacement::load(int32_t currentWidthTwips, int32_t screenWidthTwips, int32_t screenHeightTwips)
{
    FormPlacementValues values;
    const QString config = m_app.configKey();

    // A profile keeps the shared position until it has saved one of its own.
    values.positionKey = config;
    if (m_run.ProfileNumber != 0) {
        const QString profile = m_app.profileKey(m_run.ProfileNumber);
        int32_t probe = 0;
        if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, profile, TopValue, probe))
            values.positionKey = profile;
    }

    int32_t stored = 0;
    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, config, HeightValue, stored)) {
        values.height = stored;
        m_log.LogMessage(u"frmMain.Load: frmMainHeight: "_s + QString::number(stored), PlacementLogLevel);
    } else {
        values.height = DefaultHeight;
    }

    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, values.positionKey, TopValue, stored)) {
        values.top = stored;
        m_log.LogMessage(u"frmMain.Load: frmMainTop: "_s + QString::number(stored), PlacementLogLevel);
    } else {
        values.top = difference(difference(screenHeightTwips, values.height), FirstPlacementMargin);
    }

    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, values.positionKey, LeftValue, stored)) {
        values.left = stored;
        m_log.LogMessage(u"frmMain.Load: frmMainLeft: "_s + QString::number(stored), PlacementLogLevel);
    } else {
        const bool tooWide = int64_t(currentWidthTwips) + FirstPlacementMargin > int64_t(screenWidthTwips);
        values.left = tooWide ? 0 : FirstPlacementMargin;
    }
    return values;
}

int32_t FormPlacement::doubleWidth()
{
    int32_t width = 0;
    if (m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), WidthValue, width)) {
        m_log.LogMessage(u"FormLayout: frmMainWidth: "_s + QString::number(width), PlacementLogLevel);
        return width;
    }
    m_log.LogMessage(u"FormLayout: using default frmMainWidth: "_s + QString::number(DefaultWidth), PlacementLogLevel);
    return DefaultWidth;
}

void FormPlacement::save(std::optional<QPoint> position, int32_t width, int32_t height, bool doubleWidth)
{
    // Write failures are not the user's concern here: the next start falls back to defaults.
    QString ignored;
    const QString config = m_app.configKey();
    const QString positionKey = m_app.profileKey(m_run.ProfileNumber);
    m_registry.WriteRegWordValue(HKEY_CURRENT_USER, config, HeightValue, height, ignored);
    if (position) {
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, positionKey, LeftValue, position->x(), ignored);
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, positionKey, TopValue, position->y(), ignored);
    }
    if (doubleWidth)
        m_registry.WriteRegWordValue(HKEY_CURRENT_USER, config, WidthValue, width, ignored);
}

bool FormPlacement::platformGivesPositions(const QString& platformName)
{
    return !platformName.startsWith(u"wayland"_s, Qt::CaseInsensitive);
}

void FormPlacement::KeepFormOnScreen(int32_t& left, int32_t& top, int32_t width, int32_t height,
                                     const MonitorBounds& unionPixels, TwipsPerPixel tpp)
{
    const int32_t unionLeft = toTwips(unionPixels.left, tpp.x);
    const int32_t unionRight = toTwips(unionPixels.right, tpp.x);
    const int32_t unionTop = toTwips(unionPixels.top, tpp.y);
    const int32_t unionBottom = toTwips(unionPixels.bottom, tpp.y);

    // Only the top-left corner is brought back; the rest of the window may still hang over.
    if (top < unionTop)
        top = unionTop;
    if (top > unionBottom)
        top = difference(unionBottom, height);
    if (left < unionLeft)
        left = unionLeft;
    if (left > unionRight)
        left = difference(unionRight, width);
}
