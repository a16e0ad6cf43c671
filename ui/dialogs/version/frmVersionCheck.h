// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

class ProviderLinks;
class QLabel;
class QPushButton;
struct AppInfo;

// Tells the user that a newer version exists: both versions, the release notes and a button
// that opens the product page.
class frmVersionCheck : public QDialog
{
    Q_OBJECT

public:
    frmVersionCheck(const AppInfo& app, ProviderLinks& links, QWidget* owner = nullptr);

    void ShowVersionInfo(const QString& latest, const QString& notes, const QString& productPage);

    // The buttons' handlers, public so they can be driven without a user.
    void cmdWebsite_Click();
    void cmdOK_Click();

    QPushButton* cmdWebsite = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* lblDescr = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblNewVer = nullptr;
    QLabel* lblOldVer = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;

private:
    void Form_Load();

    const AppInfo& m_app;
    ProviderLinks& m_links;
    QString m_productPage;
};
