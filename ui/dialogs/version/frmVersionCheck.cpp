// SPDX-License-Identifier: MIT
#include "frmVersionCheck.h"

#include "AppInfo.h"
#include "ProviderLinks.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QLabel* label(QWidget* parent, const QString& name, const QString& text = {})
{
    auto* control = new QLabel(text, parent);
    control->setObjectName(name);
    control->setTextFormat(Qt::PlainText);
    return control;
}
} // namespace

frmVersionCheck::frmVersionCheck(const AppInfo& app, ProviderLinks& links, QWidget* owner)
    : QDialog(owner), m_app(app), m_links(links)
{
    setObjectName(u"frmVersionCheck"_s);
    setFont(QFont(u"Tahoma"_s));

    // Created in tab order: the two buttons take the focus first.
    cmdWebsite = new QPushButton(u"Website"_s, this);
    cmdWebsite->setObjectName(u"cmdWebsite"_s);
    cmdOK = new QPushButton(u"OK"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setDefault(true);
    lblDescr = label(this, u"lblDescr"_s);
    lblDescr->setWordWrap(true);
    lblDescr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescr->setMinimumHeight(80);
    Label4 = label(this, u"Label4"_s, u"New features:"_s);
    lblNewVer = label(this, u"lblNewVer"_s);
    lblOldVer = label(this, u"lblOldVer"_s);
    Label3 = label(this, u"Label3"_s, u"A newer version of "_s + m_app.ProductName + u" is available."_s);
    Label2 = label(this, u"Label2"_s, u"Latest version:"_s);
    Label1 = label(this, u"Label1"_s, u"Current version:"_s);
    setTabOrder(cmdWebsite, cmdOK);

    auto* versions = new QGridLayout;
    versions->addWidget(Label1, 0, 0);
    versions->addWidget(lblOldVer, 0, 1);
    versions->addWidget(Label2, 1, 0);
    versions->addWidget(lblNewVer, 1, 1);
    versions->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdWebsite);
    buttons->addWidget(cmdOK);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Label3);
    page->addLayout(versions);
    page->addWidget(Label4);
    page->addWidget(lblDescr, 1);
    page->addLayout(buttons);

    connect(cmdWebsite, &QPushButton::clicked, this, [this] { cmdWebsite_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    Form_Load();
}

void frmVersionCheck::Form_Load()
{
    setWindowTitle(m_app.ProductName + u" :: new version available"_s);
    lblOldVer->clear();
    lblNewVer->clear();
}

void frmVersionCheck::ShowVersionInfo(const QString& latest, const QString& notes, const QString& productPage)
{
    m_productPage = productPage;
    lblOldVer->setText(QString::number(m_app.Major) + u'.' + QString::number(m_app.Minor) + u'.' +
                       QString::number(m_app.Revision));
    lblNewVer->setText(latest);
    lblDescr->setText(notes);
}

void frmVersionCheck::cmdWebsite_Click()
{
    m_links.ExecuteLink(m_productPage);
}

void frmVersionCheck::cmdOK_Click()
{
    close();
}
