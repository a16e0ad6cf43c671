// SPDX-License-Identifier: MIT
// traysheet <out.png>: every tray picture at 16 and 22 pixels with its key, and the program's
// icon, on one sheet, to look the pictures over by eye.
#include "imgTray.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {
constexpr int Columns = 6;
constexpr int CellWidth = 120;
constexpr int CellHeight = 64;
constexpr int Margin = 16;
constexpr int AppRowHeight = 290;

void drawCell(QPainter& painter, const QString& key, const QRect& cell)
{
    const QPixmap small = imgTray::pixmap(key, 16);
    const QPixmap large = imgTray::pixmap(key, 22);
    const int top = cell.top() + 8;
    const int left = cell.center().x() - (16 + 12 + 22) / 2;
    painter.drawPixmap(left, top + 3, small);
    painter.drawPixmap(left + 16 + 12, top, large);
    painter.drawText(QRect(cell.left(), top + 28, cell.width(), 20), Qt::AlignHCenter | Qt::AlignTop, key);
}
} // namespace

int main(int argc, char** argv)
{
    // Asked before the application object, which needs a display (or QT_QPA_PLATFORM=offscreen).
    if (argc != 2) {
        QTextStream(stderr) << "usage: traysheet <out.png>\n";
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString output = app.arguments().at(1);

    const QStringList& keys = imgTray::keys();
    const int rows = static_cast<int>((keys.size() + Columns - 1) / Columns);
    const int width = 2 * Margin + Columns * CellWidth;
    const int height = 2 * Margin + rows * CellHeight + AppRowHeight;
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xf4, 0xf4, 0xf0));

    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(QColor(0x30, 0x30, 0x30));
    for (int index = 0; index < keys.size(); ++index) {
        const QRect cell(Margin + (index % Columns) * CellWidth, Margin + (index / Columns) * CellHeight, CellWidth,
                         CellHeight);
        drawCell(painter, keys.at(index), cell);
    }

    int left = Margin;
    const int baseline = Margin + rows * CellHeight + 8 + 256;
    for (int size : {16, 22, 32, 48, 64, 128, 256}) {
        painter.drawPixmap(left, baseline - size, imgTray::applicationPixmap(size));
        painter.drawText(QRect(left, baseline + 4, std::max(size, 24), 16), Qt::AlignLeft, QString::number(size));
        left += size + 12;
    }
    painter.end();

    if (!sheet.save(output)) {
        QTextStream(stderr) << "traysheet: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}
