// SPDX-License-Identifier: MIT
#include "QtTrayBackend.h"

#include "PlainText.h"
#include "XEmbedTrayWatch.h"

#ifdef TALLY_TRAY_HAS_DBUS
#include "NotificationServerWatch.h"
#include "StatusNotifierHostWatch.h"
#endif

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {
// Whether the platform can show a tray icon at all (a test's offscreen platform cannot).
bool platformHasTrays()
{
    const QString platform = QGuiApplication::platformName();
    return platform == u"xcb"_s || platform.startsWith(u"wayland"_s);
}

// A D-Bus string ends at its first NUL, which would cut off the rest of the text.
QString busText(QString text)
{
    return text.replace(QChar(u'\0'), QChar::ReplacementCharacter);
}
} // namespace

QtTrayBackend::QtTrayBackend(QObject* parent) : QObject(parent), m_available([this] { return areaPresent(); }) {}

QtTrayBackend::~QtTrayBackend() = default;

bool QtTrayBackend::trayHostSendsNoDoubleClick(bool statusNotifierItem)
{
    const QByteArray forced = qgetenv("TALLY_TRAY_SINGLE_CLICK");
    if (forced == "1")
        return true;
    if (forced == "0")
        return false;
    if (QGuiApplication::platformName().startsWith(u"wayland"_s))
        return true;
    return statusNotifierItem;
}

QString QtTrayBackend::shownTip(const QString& tip, bool statusNotifierItem)
{
    if (!statusNotifierItem)
        return PlainText::toolTip(tip);
    QString shown = busText(tip);
    // Some panels (lxqt-panel) hand the tooltip to Qt, which takes one that looks like markup for
    // rich text: an invisible word joiner after each '<' and '&' keeps it from looking so.
    if (Qt::mightBeRichText(shown))
        shown.replace(u'<', u"<\u2060"_s).replace(u'&', u"&\u2060"_s);
    return shown;
}

QString QtTrayBackend::shownMessage(const QString& text, bool markup)
{
    return busText(markup ? text.toHtmlEscaped() : text);
}

bool QtTrayBackend::singleClickRestores() const
{
    return m_singleClick.value_or(false);
}

bool QtTrayBackend::isAreaKnown() const
{
#ifdef TALLY_TRAY_HAS_DBUS
    if (m_hostWatch)
        return m_hostWatch->isKnown();
#endif
    return m_following;
}

void QtTrayBackend::whenAreaKnown(QObject* context, std::function<void()> then)
{
    startFollowing();
    if (isAreaKnown())
        then();
    else
        connect(this, &QtTrayBackend::areaKnown, context, std::move(then), Qt::SingleShotConnection);
}

void QtTrayBackend::startFollowing()
{
    if (m_following)
        return;
    m_following = true;
    if (!platformHasTrays())
        return;
#ifdef TALLY_TRAY_HAS_DBUS
    m_hostWatch = new StatusNotifierHostWatch(this);
    connect(m_hostWatch, &StatusNotifierHostWatch::changed, this, &QtTrayBackend::areaChanged);
    m_notifications = new NotificationServerWatch(this);
#endif
    m_trayWatch = new XEmbedTrayWatch(this);
    connect(m_trayWatch, &XEmbedTrayWatch::changed, this, &QtTrayBackend::areaChanged);
}

bool QtTrayBackend::areaPresent() const
{
    bool host = false;
#ifdef TALLY_TRAY_HAS_DBUS
    host = m_hostWatch && m_hostWatch->hostPresent();
#endif
    const bool tray = m_trayWatch && m_trayWatch->trayPresent();
    switch (m_kind) {
    case IconKind::StatusNotifier:
        return host;
    case IconKind::XEmbed:
        return tray;
    case IconKind::None:
        break;
    }
    return host || tray;
}

bool QtTrayBackend::panelAnswering() const
{
#ifdef TALLY_TRAY_HAS_DBUS
    // Qt's XEmbed icons never ask the watcher.
    if (m_hostWatch && m_kind != IconKind::XEmbed)
        return m_hostWatch->isAnswered();
#endif
    return true;
}

void QtTrayBackend::ensureIcon()
{
    if (m_icon)
        return;
    m_icon = new QSystemTrayIcon(this);
    if (m_menu)
        m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, &QtTrayBackend::handleActivation);
}

void QtTrayBackend::noteIconKind()
{
    if (m_kind != IconKind::None)
        return;
    // Qt hands the menu of a StatusNotifier item to the panel as a platform menu, and keeps an
    // XEmbed icon's as a popup of its own; without a menu, an XEmbed icon is a window of Qt's with
    // a place on the screen, and an item has none.
    const bool item = m_menu ? m_menu->platformMenu() != nullptr : m_icon->geometry().isEmpty();
    m_kind = item ? IconKind::StatusNotifier : IconKind::XEmbed;
    if (!m_singleClick)
        m_singleClick = trayHostSendsNoDoubleClick(item);
}

bool QtTrayBackend::add(const QIcon& icon, const QString& tip)
{
    m_iconPicture = icon;
    m_tip = tip;
    startFollowing();
    m_present = m_available() && panelAnswering();
    if (!m_present) {
        m_waiting = true;
        return false;
    }
    m_waiting = false;
    ensureIcon();
    // A menu set while Qt could not be asked.
    if (m_icon->contextMenu() != m_menu)
        m_icon->setContextMenu(m_menu);
    m_icon->setIcon(icon);
    m_icon->show();
    noteIconKind();
    m_icon->setToolTip(shownTip(tip, m_kind == IconKind::StatusNotifier));
    m_shown = true;
    return true;
}

bool QtTrayBackend::modifyIcon(const QIcon& icon)
{
    if (!m_shown && !m_waiting)
        return false;
    m_iconPicture = icon;
    if (m_shown)
        m_icon->setIcon(icon);
    return true;
}

bool QtTrayBackend::modifyTip(const QString& tip)
{
    if (!m_shown && !m_waiting)
        return false;
    m_tip = tip;
    if (m_shown)
        m_icon->setToolTip(shownTip(tip, m_kind == IconKind::StatusNotifier));
    return true;
}

bool QtTrayBackend::remove()
{
    if (m_shown) {
        m_icon->hide();
        m_shown = false;
        return true;
    }
    if (m_waiting) {
        m_waiting = false;
        return true;
    }
    return false;
}

bool QtTrayBackend::showMessage(const QString& title, const QString& text)
{
    if (!isShown())
        return false;
    bool markup = false;
#ifdef TALLY_TRAY_HAS_DBUS
    markup = m_kind == IconKind::StatusNotifier && m_notifications && m_notifications->readsMarkup();
#endif
    m_icon->showMessage(title, shownMessage(text, markup), QSystemTrayIcon::Warning);
    return true;
}

void QtTrayBackend::setContextMenu(QMenu* menu)
{
    m_menu = menu;
    // Qt hands a StatusNotifier icon's menu to the panel through a connection that asks the watcher.
    if (m_icon && panelAnswering())
        m_icon->setContextMenu(menu);
}

void QtTrayBackend::areaChanged()
{
    follow();
    if (!m_areaKnownTold && isAreaKnown()) {
        m_areaKnownTold = true;
        emit areaKnown();
    }
}

void QtTrayBackend::follow()
{
    // Between remove() and the next add() nothing is shown or waited for.
    if (!m_shown && !m_waiting)
        return;
    const bool present = m_available();
    // A question to the watcher that is out does not take the icon away, nor does a panel that
    // hangs; the icon comes (back) once the watcher has answered.
    if (m_present && !present) {
        m_present = false;
        if (m_shown)
            emit trayLost();
    } else if (!m_present && present && panelAnswering()) {
        m_present = true;
        emit trayAppeared();
    }
}

void QtTrayBackend::handleActivation(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        emit doubleClicked();
        break;
    case QSystemTrayIcon::Trigger:
        if (singleClickRestores())
            emit doubleClicked();
        break;
    case QSystemTrayIcon::Context:
        if (!m_menu)
            emit contextMenuRequested(QCursor::pos());
        break;
    default:
        break;
    }
}
