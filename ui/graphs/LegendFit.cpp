// SPDX-License-Identifier: MIT
#include "LegendFit.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>

namespace {
// Qt lays the chart and its legend out once control returns to the event loop, and lays out
// only the entries shown then; an entry shown again afterwards would keep the text it was given
// at an earlier size. Lay both out now, so entries are judged where they stand.
void layOut(QChart* chart)
{
    QGraphicsLayout* legend = chart->legend()->layout();
    legend->invalidate();
    chart->layout()->activate();
    legend->activate();
}

// The entries the legend cuts or leaves out: each is drawn as an item holding its marker and its
// text, and is whole when that item lies inside the legend.
qsizetype cutEntries(const QLegend* legend)
{
    const QRectF visible = legend->sceneBoundingRect();
    qsizetype cut = 0;
    QList<QGraphicsItem*> items = legend->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem* item = items.takeFirst();
        if (!item->isVisible())
            continue;
        if (dynamic_cast<QGraphicsTextItem*>(item)) {
            const QGraphicsItem* entry = item->parentItem();
            if (!visible.contains(entry->mapRectToScene(entry->boundingRect() | entry->childrenBoundingRect())))
                ++cut;
            continue;
        }
        items.append(item->childItems());
    }
    return cut;
}
} // namespace

void LegendFit::showWholeEntries(QChart* chart, const QList<QLegendMarker*>& entries)
{
    for (QLegendMarker* entry : entries)
        entry->setVisible(true);
    if (!chart->legend()->isVisible())
        return;
    qsizetype shown = entries.size();
    layOut(chart);
    // Once the rest fit, Qt centres them afresh: judge them again where they then stand.
    for (qsizetype cut = cutEntries(chart->legend()); cut > 0 && shown > 0; cut = cutEntries(chart->legend())) {
        for (; cut > 0 && shown > 0; --cut)
            entries[--shown]->setVisible(false);
        layOut(chart);
    }
}
