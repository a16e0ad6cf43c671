// SPDX-License-Identifier: MIT
#include "frmPasswordEntry.h"

#include "AppInfo.h"
#include "DialogIcon.h"
#include "PasswordMask.h"
#include "Settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
template <typename W>
W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}
} // namespace

// Nothing here is worth a log line, and the password must never reach the log.
frmPasswordEntry::frmPasswordEntry(const AppInfo& app, Settings& settings, LogFrontEnd& /*log*/, QWidget* owner)
    : QDialog(owner), m_app(app), m_settings(settings)
{
    setObjectName(u"frmPasswordEntry"_s);
    setModal(true);
    // A fixed dialog: no help button in the title bar.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(QFont(u"Tahoma"_s));

    m_image1 = named(new QLabel(this), u"Image1"_s);
    m_image1->setFixedSize(32, 32);
    m_image1->setPixmap(dialogIcon(this, QStyle::SP_MessageBoxQuestion));

    m_label1 =
        named(new QLabel(u"You have selected to not save your password, please enter your password now."_s, this),
              u"Label1"_s);
    m_label1->setWordWrap(true);
    m_label2 = named(new QLabel(u"password:"_s, this), u"Label2"_s);

    m_txtPassword = named(new QLineEdit(this), u"txtPassword"_s);
    maskPassword(m_txtPassword);
    m_label2->setBuddy(m_txtPassword);

    m_btnOK = named(new QPushButton(u"OK"_s, this), u"btnOK"_s);
    m_btnOK->setDefault(true);
    m_btnCancel = named(new QPushButton(u"Cancel"_s, this), u"btnCancel"_s);
    m_btnCancel->setAutoDefault(false);
    // The buttons keep the classic dialog face; only the texts are in Tahoma.
    const QFont buttonFont(u"MS Sans Serif"_s);
    m_btnOK->setFont(buttonFont);
    m_btnCancel->setFont(buttonFont);
    connect(m_btnOK, &QPushButton::clicked, this, &frmPasswordEntry::btnOK_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &frmPasswordEntry::btnCancel_Click);

    auto* top = new QHBoxLayout;
    top->addWidget(m_image1, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addWidget(m_label1, 1);

    auto* entry = new QHBoxLayout;
    entry->addWidget(m_label2);
    entry->addWidget(m_txtPassword, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnOK);
    buttons->addStretch(1);
    buttons->addWidget(m_btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(entry);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_label1->setMinimumWidth(170);

    Form_Load();
}

void frmPasswordEntry::Form_Load()
{
    setWindowTitle(m_app.Title + u" Password Entry"_s);
    m_txtPassword->setFocus();
}

void frmPasswordEntry::btnOK_Click()
{
    // Taken as typed: an empty text is the caller's "no password".
    m_settings.Password = m_txtPassword->text();
    accept();
}

void frmPasswordEntry::btnCancel_Click()
{
    reject();
}
