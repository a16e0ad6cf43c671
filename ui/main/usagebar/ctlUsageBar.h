// SPDX-License-Identifier: MIT
#pragma once

#include "UsageBarState.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

class QPainter;

// The program's own usage bar: ten drawing styles chosen by Scrolling (the main window uses 9, the
// only one with the elapsed-time marker), a caption and a marker strip. It draws into an off-screen
// image and copies that onto the window in one step, so it never flickers; renderToImage() runs
// the same drawing for any size.
//
// The properties are the widget's own. Setters that redraw schedule a repaint; Min, Max,
// BrushStyle and CaptionStyle show at the next draw. The caption's font is the widget's font and
// the tooltip is the widget's tooltip. Colours are 0x00BBGGRR references; system colours
// (0x80000000 + n) resolve through the widget's palette. Setters raise RunTimeError where the
// value cannot be taken.
class ctlUsageBar : public QWidget
{
public:
    explicit ctlUsageBar(QWidget* parent = nullptr);

    // Holds the stored percentage at 100 at most and schedules a repaint.
    void DrawProgressBar();
    // Copies the off-screen image onto target; a width or height of 0 or less means the image's own.
    void pDraw(QPainter& target, int32_t sourceX, int32_t sourceY, int32_t width, int32_t height, int32_t destinationX,
               int32_t destinationY) const;

    // The bar as it is drawn at the given size, through the same drawing as the window, on a
    // screen of the given device pixel ratio (an image of size x ratio pixels).
    QImage renderToImage(QSize size, qreal ratio = 1.0);

    int32_t BrushStyle() const { return m_state.BrushStyle; }
    void setBrushStyle(int32_t value);
    uint32_t Color() const { return m_state.Color; }
    void setColor(uint32_t value);
    QFont Font() const { return font(); }
    QImage Image() const { return m_state.Image; }
    void setImage(const QImage& value);
    int32_t Min() const { return m_state.Min; }
    void setMin(int32_t value);
    int32_t Max() const { return m_state.Max; }
    void setMax(int32_t value);
    int32_t Orientation() const { return m_state.Orientation; }
    void setOrientation(int32_t value);
    int32_t Scrolling() const { return m_state.Scrolling; }
    void setScrolling(int32_t value);
    // The position in the Min to Max range; stored as a whole percentage.
    int32_t Value() const;
    void setValue(int32_t value);
    int32_t CaptionStyle() const { return m_state.CaptionStyle; }
    void setCaptionStyle(int32_t value);
    QString Caption() const { return m_state.Caption; }
    void setCaption(const QString& value);
    bool MarkerVisible() const { return m_state.MarkerVisible; }
    void setMarkerVisible(bool value);
    int32_t MarkerPosition() const { return m_state.MarkerPosition; }
    void setMarkerPosition(int32_t value);
    uint32_t MarkerColor() const { return m_state.MarkerColor; }
    void setMarkerColor(uint32_t value);
    float Marker() const { return float(m_state.Marker); }
    void setMarker(float value);

    // The stored percentage behind Value.
    int32_t storedPercent() const { return m_state.percent; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Makes the off-screen image, in device pixels, when there is none or the widget has outgrown
    // it; a widget that shrinks keeps the larger one.
    void prepareSurface();
    QSize deviceSize() const;
    void holdPercent();

    UsageBarState m_state;
    QImage m_surface;
};
