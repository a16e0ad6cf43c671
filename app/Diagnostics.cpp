// SPDX-License-Identifier: MIT
#include "Diagnostics.h"

#include "AppInfo.h"
#include "ComRuntime.h"
#include "LiteConnection.h"
#include "LogFileWriter.h"
#include "LogFrontEnd.h"
#include "Pelborne/GeneralInterface.h"
#include "RegistryAccess.h"
#include "RegistryHive.h"
#include "RunState.h"
#include "Sarnick/GeneralInterface.h"
#include "Timezone.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QSslSocket>
#include <QSysInfo>

#include <pugixml.hpp>

using namespace Qt::StringLiterals;

namespace {
template <class General>
QString versionOf(const std::shared_ptr<ComObject>& object)
{
    const std::shared_ptr<General> general = comQuery<General>(object);
    return general ? general->szVersion() : QString();
}
} // namespace

Diagnostics::Diagnostics(const AppInfo& app, const RunState& run, RegistryAccess& registry, LogFrontEnd& log)
    : m_app(app), m_run(run), m_registry(registry), m_log(log)
{}

QString Diagnostics::componentVersion(const QString& progId, const QString& failureText)
{
    ComError error;
    const std::shared_ptr<ComObject> object = ComRuntime::createObject(progId, &error);
    QString version;
    if (object) {
        version = progId.startsWith(u"Sarnick"_s) ? versionOf<Sarnick::_General>(object)
                                                  : versionOf<Pelborne::_General>(object);
        if (version.isEmpty()) {
            error.number = 430;
            error.description = u"Class does not support Automation or does not support expected interface"_s;
        }
    }
    if (version.isEmpty()) {
        m_log.LogMessage(failureText + u"\r\n["_s + QString::number(error.number) + u"] "_s + error.description, 2);
        return u"unknown"_s;
    }
    return version;
}

QString Diagnostics::SarnickVer()
{
    return componentVersion(u"Sarnick.General"_s, u"SarnickVer: Error retrieving Sarnick version:"_s);
}

QString Diagnostics::PelborneVer()
{
    return componentVersion(u"Pelborne.General"_s, u"PelborneVer: Error retrieving Pelborne version:"_s);
}

QString Diagnostics::LoggerVer() const
{
    return QString::number(m_app.Major) + u'.' + QString::number(m_app.Minor) + u'.' + QString::number(m_app.Revision);
}

QString Diagnostics::qoSQLVer() const
{
    return LoggerVer() + u" (SQLite "_s + LiteConnection::engineVersion() + u')';
}

QString Diagnostics::TeeChartVer() const
{
    return u"Qt Charts "_s + QString::fromLatin1(qVersion());
}

QStringList Diagnostics::debugInfoLines()
{
    QStringList lines;
    lines << u"Logger.dll version: "_s + LoggerVer();
    int32_t value = 0;
    lines << u"debug level: "_s + (m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.appKey(), u"debug"_s, value)
                                       ? QString::number(value)
                                       : u"not defined"_s);
    lines << u"max log size: "_s +
                 (m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.appKey(), u"logsize"_s, value)
                      ? QString(QString::number(value) + u" kbytes"_s)
                      : u"using default "_s + QString::number(LogFileWriter::DefaultMaxSizeKB) + u" kbytes"_s);
    lines << u"OS version: "_s + QSysInfo::prettyProductName();
    lines << u"kernel: "_s + QSysInfo::kernelType() + u' ' + QSysInfo::kernelVersion();
    if (m_run.IsWine)
        lines << u"Wine detected - looks like this is Wine on linux!"_s;
    lines << u"Qt version: "_s + QString::fromLatin1(qVersion());
    lines << u"SQLite version: "_s + LiteConnection::engineVersion();
    lines << u"pugixml version: "_s + QString::number(PUGIXML_VERSION / 1000) + u'.' +
                 QString::number(PUGIXML_VERSION % 1000 / 10);
    lines << u"TLS library: "_s +
                 (QSslSocket::supportsSsl() ? QSslSocket::sslLibraryVersionString() : u"not available"_s);
    lines << u"Sarnick version: "_s + SarnickVer();
    lines << u"Pelborne version: "_s + PelborneVer();
    lines << u"application path: "_s + QCoreApplication::applicationDirPath();
    lines << u"datafile path: "_s + m_run.DataDir;
    const QDateTime sample(QDate(1701, 12, 13), QTime(14, 15, 16));
    const QLocale locale = QLocale::system();
    lines << u"OS short date format: \""_s + locale.toString(sample.date(), QLocale::ShortFormat) + u'"';
    lines << u"OS time format: \""_s + locale.toString(sample.time(), QLocale::ShortFormat) + u'"';
    lines << u"numeric format: \""_s + locale.toString(1234.5678, 'g', 8) + u'"';
    const auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!gui || QGuiApplication::screens().isEmpty()) {
        lines << u"screen size in pixels: no display"_s;
    } else {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QSize px = screen->size();
            const QSizeF mm = screen->physicalSize();
            lines << u"screen size in pixels: "_s + QString::number(px.width()) + u'x' + QString::number(px.height()) +
                         u"; in mm: "_s + QString::number(qRound(mm.width())) + u'x' +
                         QString::number(qRound(mm.height()));
            lines << u"screen resolution in pixels/inch: "_s + QString::number(qRound(screen->logicalDotsPerInchX())) +
                         u'x' + QString::number(qRound(screen->logicalDotsPerInchY())) + u"; scale factors: "_s +
                         QString::number(screen->logicalDotsPerInchX() / 96.0) + u'x' +
                         QString::number(screen->logicalDotsPerInchY() / 96.0);
        }
    }
    lines << u"GMT bias: "_s + QString::number(GMTOffset()) + u" hours"_s;
    return lines;
}

void Diagnostics::WriteDebugInfo()
{
    m_log.LogMessage(u"calling WriteDebugInfo"_s, 3);
    for (const QString& line : debugInfoLines())
        m_log.LogMessage(u"WriteDebugInfo: "_s + line, 10);
}
