// SPDX-License-Identifier: MIT
#pragma once

#include "DataMigration.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The progress of a data-file move: where from, where to, a status line and one button, Cancel
// while the move runs and OK once it has ended. It cannot be closed before the move has ended.
class frmDataMigration final : public QDialog, public MigrationProgress
{
public:
    frmDataMigration(const QString& productName, const QString& from, const QString& to);

    void setStatus(const QString& text) override;
    bool cancelRequested() override;
    void finished() override;

    bool bCancelRequested = false;
    bool bMigrationFinished = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QLabel* m_lblStatus = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdOK = nullptr;
};
