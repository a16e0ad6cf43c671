// SPDX-License-Identifier: MIT
#pragma once

#include "RunTimeError.h"
#include "TrayBackend.h"
#include "imgTray.h"

#include <QList>
#include <QMap>
#include <QString>

// A tray that records what it was asked, answers from per-operation queues (true when empty)
// and can raise a run-time error on one operation.
class RecordingTrayBackend : public TrayBackend
{
public:
    struct Call
    {
        QString op;  // "add", "modifyIcon", "modifyTip", "remove", "showMessage"
        QString key; // picture key of the icon, empty when none was passed
        QString tip; // or the message's text
    };

    QList<Call> calls;
    QMap<QString, QList<bool>> answers;
    QString failingOp;

    bool add(const QIcon& icon, const QString& tip) override { return record(QStringLiteral("add"), keyOf(icon), tip); }
    bool modifyIcon(const QIcon& icon) override { return record(QStringLiteral("modifyIcon"), keyOf(icon), {}); }
    bool modifyTip(const QString& tip) override { return record(QStringLiteral("modifyTip"), {}, tip); }
    bool remove() override { return record(QStringLiteral("remove"), {}, {}); }
    bool showMessage(const QString&, const QString& text) override
    {
        return record(QStringLiteral("showMessage"), {}, text);
    }

    QStringList ops() const
    {
        QStringList list;
        for (const Call& call : calls)
            list.append(call.op);
        return list;
    }

private:
    // imgTray hands out the same icon for the same key, so the key can be found again.
    static QString keyOf(const QIcon& icon)
    {
        for (const QString& key : imgTray::keys()) {
            if (imgTray::icon(key).cacheKey() == icon.cacheKey())
                return key;
        }
        return QStringLiteral("?");
    }

    bool record(const QString& op, const QString& key, const QString& tip)
    {
        if (op == failingOp)
            throw RunTimeError(5, QStringLiteral("Invalid procedure call or argument"));
        calls.append({op, key, tip});
        QList<bool>& queue = answers[op];
        return queue.isEmpty() ? true : queue.takeFirst();
    }
};
