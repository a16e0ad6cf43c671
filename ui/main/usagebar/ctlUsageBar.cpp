// SPDX-License-Identifier: MIT
#include "ctlUsageBar.h"

#include "RunTimeError.h"
#include "UsageBarCanvas.h"
#include "UsageBarColors.h"
#include "UsageBarGeometry.h"
#include "UsageBarPainter.h"

#include <QPainter>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
constexpr int32_t kOverflow = 6;
constexpr int32_t kDivisionByZero = 11;

[[noreturn]] void raiseOverflow(const QString& property)
{
    throw RunTimeError(kOverflow, u"Overflow"_s, u"ctlUsageBar."_s + property);
}
} // namespace

ctlUsageBar::ctlUsageBar(QWidget* parent) : QWidget(parent)
{
    // Every pixel is ours: nothing of the parent needs to show through first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_state.Color = UsageBarColors::TranslateSysColor(UsageBarColors::SysHighlight, palette());
    prepareSurface();
}

void ctlUsageBar::holdPercent()
{
    if (m_state.percent > 100)
        m_state.percent = 100;
}

void ctlUsageBar::DrawProgressBar()
{
    holdPercent();
    update();
}

void ctlUsageBar::pDraw(QPainter& target, int32_t sourceX, int32_t sourceY, int32_t width, int32_t height,
                        int32_t destinationX, int32_t destinationY) const
{
    if (m_surface.isNull())
        return;
    // Arguments are in the widget's pixels; the image holds device pixels.
    const qreal ratio = m_surface.devicePixelRatio();
    const qreal copyWidth = width > 0 ? width : m_surface.width() / ratio;
    const qreal copyHeight = height > 0 ? height : m_surface.height() / ratio;
    target.drawImage(QPointF(destinationX, destinationY), m_surface,
                     QRectF(sourceX * ratio, sourceY * ratio, copyWidth * ratio, copyHeight * ratio));
}

QImage ctlUsageBar::renderToImage(QSize size, qreal ratio)
{
    holdPercent();
    if (size.isEmpty() || !(ratio > 0))
        return {};
    QImage image(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))),
                 QImage::Format_RGB32);
    UsageBarPainter::paint(m_state, font(), palette(), image, size, ratio);
    return image;
}

QSize ctlUsageBar::deviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
}

void ctlUsageBar::prepareSurface()
{
    const QSize wanted = deviceSize();
    if (wanted.isEmpty())
        return;
    // A screen of another ratio needs an image of its own.
    if (!m_surface.isNull() && m_surface.devicePixelRatio() == devicePixelRatioF() &&
        wanted.width() <= m_surface.width() && wanted.height() <= m_surface.height())
        return;
    // A failed allocation leaves a null image; the bar then paints nothing until it can get one.
    m_surface = QImage(wanted, QImage::Format_RGB32);
    m_surface.setDevicePixelRatio(devicePixelRatioF());
}

void ctlUsageBar::paintEvent(QPaintEvent*)
{
    holdPercent();
    prepareSurface();
    const QSize wanted = deviceSize();
    if (m_surface.isNull() || m_surface.width() < wanted.width() || m_surface.height() < wanted.height())
        return;
    UsageBarPainter::paint(m_state, font(), palette(), m_surface, size(), devicePixelRatioF());
    QPainter painter(this);
    pDraw(painter, 0, 0, width(), height(), 0, 0);
}

void ctlUsageBar::resizeEvent(QResizeEvent*)
{
    prepareSurface();
}

void ctlUsageBar::setBrushStyle(int32_t value)
{
    m_state.BrushStyle = value;
}

void ctlUsageBar::setColor(uint32_t value)
{
    m_state.Color = UsageBarColors::TranslateSysColor(value, palette());
    DrawProgressBar();
}

void ctlUsageBar::setImage(const QImage& value)
{
    m_state.Image = value;
    DrawProgressBar();
}

void ctlUsageBar::setMin(int32_t value)
{
    m_state.Min = value;
}

void ctlUsageBar::setMax(int32_t value)
{
    m_state.Max = value;
}

void ctlUsageBar::setOrientation(int32_t value)
{
    m_state.Orientation = value;
    DrawProgressBar();
}

void ctlUsageBar::setScrolling(int32_t value)
{
    m_state.Scrolling = value;
    DrawProgressBar();
}

int32_t ctlUsageBar::Value() const
{
    const double span = double(m_state.Max) - double(m_state.Min);
    return UsageBarGeometry::roundWhole(m_state.percent / 100.0 * span + m_state.Min);
}

void ctlUsageBar::setValue(int32_t value)
{
    // The range maps linearly onto 0 to 100 %, so that reading Value gives back what was set.
    const int64_t span = int64_t(m_state.Max) - m_state.Min;
    if (span == 0)
        throw RunTimeError(kDivisionByZero, u"Division by zero"_s, u"ctlUsageBar.Value"_s);
    const int64_t scaled = (int64_t(value) - m_state.Min) * 100;
    if (scaled < std::numeric_limits<int32_t>::min() || scaled > std::numeric_limits<int32_t>::max())
        raiseOverflow(u"Value"_s);
    m_state.percent = UsageBarGeometry::roundWhole(double(scaled) / double(span));
    DrawProgressBar();
}

void ctlUsageBar::setCaptionStyle(int32_t value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        raiseOverflow(u"CaptionStyle"_s);
    m_state.CaptionStyle = int16_t(value);
}

void ctlUsageBar::setCaption(const QString& value)
{
    // Spaces only: tabs and line breaks are the caller's and stay.
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && value.at(first) == u' ')
        ++first;
    while (last > first && value.at(last - 1) == u' ')
        --last;
    m_state.Caption = value.mid(first, last - first);
    DrawProgressBar();
}

void ctlUsageBar::setMarkerVisible(bool value)
{
    m_state.MarkerVisible = value;
    DrawProgressBar();
}

void ctlUsageBar::setMarkerPosition(int32_t value)
{
    m_state.MarkerPosition = value;
    DrawProgressBar();
}

void ctlUsageBar::setMarkerColor(uint32_t value)
{
    m_state.MarkerColor = value;
    DrawProgressBar();
}

void ctlUsageBar::setMarker(float value)
{
    const double number = value;
    if (!std::isfinite(number) || number <= -2147483648.5 || number >= 2147483647.5)
        raiseOverflow(u"Marker"_s);
    m_state.Marker = UsageBarGeometry::roundWhole(double(value));
    DrawProgressBar();
}
