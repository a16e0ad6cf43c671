// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class LogFrontEnd;
class QLabel;
class QLineEdit;
class QPushButton;
struct AppInfo;
struct Settings;

// Asks for the account password when the user chose not to store it. What is typed goes to
// Settings::Password only, never to the registry. The caller shows it modally without an owner
// and reads the password after it has closed; Cancel, Esc and the close box leave it unchanged.
class frmPasswordEntry : public QDialog
{
    Q_OBJECT

public:
    frmPasswordEntry(const AppInfo& app, Settings& settings, LogFrontEnd& log, QWidget* owner = nullptr);

    void btnOK_Click();
    void btnCancel_Click();

    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* btnOK() const { return m_btnOK; }
    QPushButton* btnCancel() const { return m_btnCancel; }

private:
    void Form_Load();

    const AppInfo& m_app;
    Settings& m_settings;
    QLabel* m_image1 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
