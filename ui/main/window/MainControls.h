// SPDX-License-Identifier: MIT
#pragma once

#include "FormGeometry.h"
#include "WindowSeam.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPixmap;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QWidget;
class ctlUsageBar;

// The main window's controls, made with the object names and captions the rest of the program
// knows them by. Summary array elements are named "<array>_<index>". The window owns them all;
// these are plain pointers into its widget tree.
struct MainControls
{
    using Column = std::array<QLineEdit*, 3>;

    QWidget* central = nullptr;

    QWidget* picHistory = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cboHistory = nullptr;
    QPushButton* cmdChangeLayout = nullptr;

    QTabWidget* tabMain = nullptr;
    QWidget* summaryPage = nullptr;
    QWidget* gridPage = nullptr;
    QWidget* debugPage = nullptr;

    QGroupBox* frameDownloadSummary = nullptr;
    std::array<QLabel*, 3> lblTitle{};
    Column txtQuota{};
    Column txtTotal{};
    Column txtRemaining{};
    Column txtAverage{};
    Column txtAvgRemaining{};
    Column txtToday{};
    QLineEdit* txtUnlimited = nullptr;

    QGroupBox* frameAccountStatus = nullptr;
    ctlUsageBar* prXPStatusPeak = nullptr;
    ctlUsageBar* prXPStatusOffPeak = nullptr;
    QLabel* lblPeakShapeTitle = nullptr;
    QLineEdit* txtStatus = nullptr;
    QLabel* lblOffPeakShapeTitle = nullptr;
    QLineEdit* txtBStatus = nullptr;

    QGroupBox* Frame4 = nullptr;
    QLineEdit* txtUptime = nullptr;
    QLineEdit* txtLastConnect = nullptr;
    QLineEdit* txtIP = nullptr;

    QGroupBox* Frame3 = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* lblUsername = nullptr;
    QLineEdit* txtUsername = nullptr;
    QLabel* label100 = nullptr;
    QLineEdit* txtAnniversaryDate = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtTimeToReset = nullptr;

    QLabel* Label13 = nullptr;

    QGroupBox* frameDebug = nullptr;
    QPlainTextEdit* txtDebugList = nullptr;

    QWidget* picMain = nullptr;
    QPushButton* cmdTeeGraph = nullptr;
    QPushButton* cmdMinimise = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* Label15 = nullptr;
    QLineEdit* txtLastRefresh = nullptr;

    QStatusBar* staMain = nullptr;
    QLabel* staPanel1 = nullptr;
    QLabel* staPanel2 = nullptr;

    QMainWindow* window = nullptr;

    // Builds every control into the window (central widget and status bar).
    void build(QMainWindow& owner);
    // The value boxes that carry the button-face background.
    QList<QLineEdit*> valueBoxes() const;

    // A control by object name, an array element by name and index; the window by its own name.
    QWidget* control(const ControlRef& ref) const;
    // Text boxes and labels take the text, frames their title, the window its caption.
    static void setText(QWidget* control, const QString& text);
    // 0xBBGGRR, or a system colour: the system's, as the application's palette has it for such a
    // control, not whatever colour the control was last given.
    static void setTextColour(QWidget* control, uint32_t bgr);
    // Both ignore a missing control.
    static void setToolTip(QWidget* control, const QString& text);
    static void setVisible(QWidget* control, bool visible);

    void setStatusText(const QString& text);
    void setStatusPicture(const QPixmap& picture);
    void setStatusToolTip(const QString& text);

    // Puts the containers where the resize layout says (pixels from its twips).
    void applyLayout(const FormGeometry& g, const FormGeometry::Inputs& in, const FormGeometry::Layout& out,
                     QWidget& grid);
    // Every value field back to "unknown", "-" or empty; a historical month only loses its
    // shaping texts. The grid is the window's.
    void resetValues(bool bHistorical);
};
