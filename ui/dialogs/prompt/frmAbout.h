// SPDX-License-Identifier: MIT
#pragma once

#include "ComponentVersions.h"

#include <QDialog>

class LogFrontEnd;
class ProviderLinks;
class QLabel;
class QPushButton;
struct AppInfo;

// The about box: the product and its version, the version of every component, links to the
// product's web pages and a contact mail link. Its texts are built when it is constructed.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    // The custom pointer (the hand over a link) and the default one.
    static constexpr int DefaultPointer = 0;
    static constexpr int CustomPointer = 99;

    frmAbout(const AppInfo& app, LogFrontEnd& log, ProviderLinks& links, ComponentVersions versions,
             QWidget* owner = nullptr);

    // The product's pages and the contact address behind the three links.
    static QString websiteUrl();
    static QString appreciationUrl(const AppInfo& app);
    static QString contactAddress();

    void btnOK_Click();
    void lblWebsite_Click();
    void lblAppreciation_Click();
    void lblEmail1_Click();
    void lblWebsite_MouseMove();
    void lblAppreciation_MouseMove();
    void lblEmail1_MouseMove();
    void Form_MouseMove();

    int MousePointer() const { return m_mousePointer; }
    // The subject of the contact mail: product name, a blank, major.minor.revision.
    const QString& mailSubject() const { return m_mailSubject; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    QLabel* makeLabel(const QString& name, const QString& text = {});
    QLabel* makeLink(const QString& name, const QString& text, bool withToolTip);
    void setMousePointer(int pointer);

    const AppInfo& m_app;
    LogFrontEnd& m_log;
    ProviderLinks& m_links;
    ComponentVersions m_versions;
    QString m_mailSubject;
    int m_mousePointer = DefaultPointer;

    QLabel* m_image = nullptr;
    QLabel* m_lblAppName = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblComponentVersions = nullptr;
    QLabel* m_lblCredit1 = nullptr;
    QLabel* m_lblEmail1 = nullptr;
    QLabel* m_lblCredit2 = nullptr;
    QLabel* m_lblVisit = nullptr;
    QLabel* m_lblWebsite = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QLabel* m_lblAppreciation = nullptr;
    QPushButton* m_btnOK = nullptr;
};
