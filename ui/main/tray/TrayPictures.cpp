// SPDX-License-Identifier: MIT
#include "TrayPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
const QColor Outline(0x2b, 0x2b, 0x2b);
const QColor Ok(0x2e, 0xa0, 0x43);
const QColor Warn(0xf2, 0xa9, 0x00);
const QColor Over(0xd9, 0x2b, 0x2b);
const QColor Unknown(0x9e, 0x9e, 0x9e);
const QColor Busy(0x1f, 0x6f, 0xd1);
const QColor Track(0xc8, 0xcc, 0xd2);

QImage blank(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The width of a fine line: one pixel up to about 23 pixels, then growing with the size.
qreal lineWidth(int size)
{
    return std::max(1.0, std::round(size / 16.0));
}

// A circle inset so that a pen of the given width stays inside the image.
QRectF circleRect(int size, qreal pen)
{
    return QRectF(pen / 2, pen / 2, size - pen, size - pen);
}

QPen roundPen(const QColor& colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Points on a circle, angle in degrees counter-clockwise from three o'clock.
QPointF onCircle(const QPointF& centre, qreal radius, qreal degrees)
{
    const qreal radians = degrees * M_PI / 180.0;
    return centre + QPointF(radius * std::cos(radians), -radius * std::sin(radians));
}

void drawMeter(QPainter& painter, int size, const QColor& peak, const QColor& offPeak)
{
    const qreal pen = lineWidth(size);
    const QRectF disc = circleRect(size, pen);
    const QPointF centre = disc.center();
    const qreal radius = disc.width() / 2;

    painter.setPen(Qt::NoPen);
    painter.setBrush(peak);
    painter.drawPie(disc, 90 * 16, 180 * 16);
    painter.setBrush(offPeak);
    painter.drawPie(disc, -90 * 16, 180 * 16);

    // A light seam keeps two halves of the same colour from reading as one blot of a different
    // picture, and two halves of different colours apart.
    painter.setPen(QPen(QColor(255, 255, 255, 200), pen, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(centre.x(), disc.top() + pen), QPointF(centre.x(), disc.bottom() - pen));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Outline, pen));
    painter.drawEllipse(disc);

    // The needle of the gauge, leaning a little to the right of twelve.
    painter.setPen(roundPen(Outline, std::max(1.25, pen * 1.25)));
    painter.drawLine(centre, onCircle(centre, radius * 0.72, 62));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Outline);
    const qreal hub = std::max(1.5, size / 10.0);
    painter.drawEllipse(centre, hub, hub);
}
} // namespace

namespace TrayPictures {

QColor stateColour(const QString& state)
{
    if (state == u"ok"_s)
        return Ok;
    if (state == u"warn"_s)
        return Warn;
    if (state == u"over"_s)
        return Over;
    return Unknown;
}

QImage meter(int size, const QColor& peak, const QColor& offPeak)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawMeter(painter, size, peak, offPeak);
    return image;
}

QImage error(int size)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor faded(0xc4, 0xc4, 0xc4);
    drawMeter(painter, size, faded, faded);

    // A red badge with a white cross over the lower right of the gauge.
    const qreal badge = std::round(size * 0.66);
    const QRectF rect(size - badge, size - badge, badge, badge);
    painter.setPen(QPen(Qt::white, lineWidth(size)));
    painter.setBrush(Over);
    painter.drawEllipse(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    const qreal arm = badge * 0.2;
    const QPointF centre = rect.center();
    painter.setPen(roundPen(Qt::white, std::max(1.5, size / 9.0)));
    painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
    return image;
}

QImage working(int size, int frame)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = std::max(2.0, std::round(size / 7.0));
    const QRectF ring = circleRect(size, pen).adjusted(0.5, 0.5, -0.5, -0.5);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Track, pen));
    painter.drawEllipse(ring);
    // Clockwise, 40 degrees a frame: nine frames make one turn.
    const int start = 90 - 40 * (std::clamp(frame, 1, 9) - 1);
    painter.setPen(QPen(Busy, pen, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(ring, (start - 110) * 16, 110 * 16);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Busy);
    const qreal hub = std::max(1.5, size / 8.0);
    painter.drawEllipse(ring.center(), hub, hub);
    return image;
}

QImage timer(int size, bool enabled)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = lineWidth(size);
    const QRectF face = circleRect(size, pen);
    const QPointF centre = face.center();
    const qreal radius = face.width() / 2;
    const QColor rim = enabled ? Ok.darker(130) : QColor(0x8a, 0x8a, 0x8a);
    const QColor hands = enabled ? Outline : QColor(0x8a, 0x8a, 0x8a);

    painter.setPen(QPen(rim, pen));
    painter.setBrush(enabled ? QColor(Qt::white) : QColor(0xe4, 0xe4, 0xe4));
    painter.drawEllipse(face);

    painter.setPen(roundPen(hands, std::max(1.25, pen * 1.25)));
    painter.drawLine(centre, onCircle(centre, radius * 0.68, 90));
    painter.drawLine(centre, onCircle(centre, radius * 0.48, 0));

    if (!enabled) {
        painter.setPen(roundPen(Over, std::max(1.5, size / 9.0)));
        painter.drawLine(QPointF(size * 0.12, size * 0.12), QPointF(size * 0.88, size * 0.88));
    }
    return image;
}

QImage application(int size)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal corner = size * 0.2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x22, 0x3e, 0x5c));
    painter.drawRoundedRect(QRectF(0, 0, size, size), corner, corner);

    // A dial over the upper half: green, amber and red thirds, and a needle in the green.
    const QPointF centre(size / 2.0, size * 0.66);
    const qreal radius = size * 0.33;
    const qreal band = std::max(2.0, size * 0.13);
    const QRectF dial(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    const QColor thirds[] = {Over, Warn, Ok};
    for (int third = 0; third < 3; ++third) {
        painter.setPen(QPen(thirds[third], band, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(dial, third * 60 * 16, 60 * 16);
    }
    painter.setPen(roundPen(Qt::white, std::max(1.25, size * 0.07)));
    painter.drawLine(centre, onCircle(centre, radius * 1.05, 128));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const qreal hub = std::max(1.5, size * 0.075);
    painter.drawEllipse(centre, hub, hub);
    return image;
}

} // namespace TrayPictures
