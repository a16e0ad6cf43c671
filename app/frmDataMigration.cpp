// SPDX-License-Identifier: MIT
#include "frmDataMigration.h"

#include "PlainText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

frmDataMigration::frmDataMigration(const QString& productName, const QString& from, const QString& to)
{
    setWindowTitle(productName + u" data file migration"_s);
    auto* layout = new QVBoxLayout(this);
    auto* label1 = PlainText::label(new QLabel(u"Migrating "_s + productName + u" data files from"_s, this));
    label1->setObjectName(u"Label1"_s);
    // The folders are the user's: shown as they are named.
    auto* lblSourceDir = PlainText::label(new QLabel(from, this));
    lblSourceDir->setObjectName(u"lblSourceDir"_s);
    auto* label4 = new QLabel(u"to"_s, this);
    label4->setObjectName(u"Label4"_s);
    auto* lblDestDir = PlainText::label(new QLabel(to, this));
    lblDestDir->setObjectName(u"lblDestDir"_s);
    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(u"lblStatus"_s);
    m_cmdCancel = new QPushButton(u"Cancel"_s, this);
    m_cmdCancel->setObjectName(u"cmdCancel"_s);
    m_cmdOK = new QPushButton(u"OK"_s, this);
    m_cmdOK->setObjectName(u"cmdOK"_s);
    m_cmdOK->hide();
    for (QWidget* w :
         std::initializer_list<QWidget*>{label1, lblSourceDir, label4, lblDestDir, m_lblStatus, m_cmdCancel, m_cmdOK})
        layout->addWidget(w);
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { bCancelRequested = true; });
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    show();
}

void frmDataMigration::setStatus(const QString& text)
{
    m_lblStatus->setText(text);
    QApplication::processEvents();
}

bool frmDataMigration::cancelRequested()
{
    QApplication::processEvents();
    return bCancelRequested;
}

void frmDataMigration::finished()
{
    bMigrationFinished = true;
    QApplication::restoreOverrideCursor();
    m_cmdCancel->hide();
    m_cmdOK->show();
    m_cmdOK->setDefault(true);
    // The move returns only once the person has read the outcome and closed the dialog.
    if (isVisible())
        exec();
}

void frmDataMigration::closeEvent(QCloseEvent* event)
{
    if (!bMigrationFinished)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmDataMigration::reject()
{
    // Esc: Cancel while the move runs, OK afterwards.
    if (!bMigrationFinished)
        bCancelRequested = true;
    else
        QDialog::reject();
}
