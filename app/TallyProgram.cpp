// SPDX-License-Identifier: MIT
#include "TallyProgram.h"

#include "ComRuntime.h"
#include "CommandLine.h"
#include "DataMigration.h"
#include "ExitRoutine.h"
#include "FileFunctions.h"
#include "LiteConnection.h"
#include "PrivateFolder.h"
#include "ProgramExit.h"
#include "RegistryHive.h"
#include "SignalHandOff.h"
#include "StandardLocations.h"
#include "StartupDecision.h"
#include "TextRoutines.h"
#include "Wine.h"
#include "frmDataMigration.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QUrl>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
const QString CrLf = u"\r\n"_s;

// The migration's progress where no window shows it: on standard error, never cancelled.
class StderrMigrationProgress final : public MigrationProgress
{
public:
    void setStatus(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool cancelRequested() override { return false; }
    void finished() override {}
};

// The one line on standard error for a command line that is not understood.
void reportCommandLineError(const QString& error)
{
    std::fprintf(stderr, "tallymeter: Error processing command line parameters: %s\n", qPrintable(error));
}

bool withWindows()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool openWithDesktop(const QString& target)
{
    return QDesktopServices::openUrl(QUrl(target));
}
} // namespace

TallyProgram::TallyProgram(QStringList arguments, QString programFolder, const Clock& clock)
    : m_arguments(std::move(arguments)), m_programFolder(std::move(programFolder)), m_clock(clock),
      m_app(AppInfo::current()), m_headless(withWindows() ? nullptr : std::make_unique<HeadlessWindowSeam>()),
      m_mainWindow(withWindows() ? std::make_unique<MainWindowSeam>() : nullptr),
      m_window(m_mainWindow ? static_cast<WindowSeam&>(*m_mainWindow) : *m_headless),
      m_writer([] { return QDateTime::currentDateTime(); }),
      m_log(m_app, m_registry, m_settings, m_run, m_window, m_clock, m_writer),
      m_settingsNotice(m_app, m_log, m_window, m_registry, m_mainWindow != nullptr),
      m_scrambler(m_app, m_registry, m_log), m_store(m_app, m_registry, m_log, m_scrambler, m_settings, m_run),
      m_migration(m_app, m_registry, m_log),
      m_dataFolder(m_app, m_registry, m_log, m_run, m_window, StandardLocations::dataHome(), m_programFolder),
      m_diagnostics(m_app, m_run, m_registry, m_log),
      m_links(m_app, m_settings, m_run, m_registry, m_log, m_window, openWithDesktop),
      m_history(m_app, m_settings, m_run, m_log),
      m_mainRoutines(m_app, m_settings, m_run, m_window, m_log, m_history.storedMonthsReader()),
      m_cycle(m_app, m_settings, m_run, m_window, m_log, m_registry, m_clock, m_history, m_mainRoutines)
{
    if (m_headless) {
        m_headless->setLogSink([this](const QString& text, int16_t level) { m_log.WriteLogFile(text, level); });
        m_headless->setExitRoutine([this] { ExitRoutine(m_app, m_log).runWithoutWindow(); });
    } else {
        m_mainWindow->attach(CommandContext{m_app, m_settings, m_run, m_log, m_registry, m_clock, m_window, m_cycle,
                                            m_history, m_mainRoutines, m_store, m_links});
        m_mainWindow->setComponentVersions(
            {[this] { return m_diagnostics.SarnickVer(); }, [this] { return m_diagnostics.PelborneVer(); },
             [this] { return m_diagnostics.LoggerVer(); }, [this] { return m_diagnostics.TeeChartVer(); },
             [this] { return m_diagnostics.qoSQLVer(); }});
        m_mainWindow->setProgramCommand(QCoreApplication::applicationFilePath(), m_arguments);
    }
}

// The windows go first: they hold on to every service until they are gone.
TallyProgram::~TallyProgram()
{
    m_mainWindow.reset();
}

bool TallyProgram::refuseCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    RunState scratch;
    QString error;
    if (CommandLine::ParseCommandLine(arguments, scratch, error))
        return false;
    reportCommandLineError(error);
    return true;
}

int TallyProgram::endedBySignal(int signal)
{
    std::fprintf(stderr, "tallymeter: ended by %s\n", qPrintable(SignalHandOff::name(signal)));
    return 128 + signal;
}

bool TallyProgram::quietOption() const
{
    return m_log.quiet();
}

void TallyProgram::fatalCreation(const QString& component, int32_t number, const QString& description)
{
    QString text = u"Fatal error creating instance of "_s + component + u" automation object:"_s + CrLf + u'[' +
                   QString::number(number) + u"] "_s + description;
    if (number == 430) {
        text += CrLf + CrLf + u"There is a version mismatch betwen "_s + m_app.ProductName + u" and the "_s +
                component + u" automation object it uses."_s;
    }
    text += CrLf + CrLf + u"Please re-install "_s + m_app.ProductName + u'.';
    m_log.LogMessage(text, 1);
}

bool TallyProgram::creationChecks()
{
    ComError error;
    if (!ComRuntime::createObject(u"Sarnick.General"_s, &error)) {
        fatalCreation(u"Sarnick.dll"_s, error.number, error.description);
        return false;
    }
    try {
        LiteConnection connection;
    } catch (const std::exception& e) {
        fatalCreation(u"Hobwell.dll"_s, 429, QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

void TallyProgram::clearSettings()
{
    const QString config = m_app.configKey();
    if (m_run.CmdLineFlags & CmdLineFlag::ClearSettings) {
        m_log.LogMessage(u"Main: clearing reg settings"_s, 6);
        m_registry.DeleteRegKey(HKEY_CURRENT_USER, config);
        for (int n = 1; n <= CommandLine::MaxProfile; ++n)
            m_registry.DeleteRegKey(HKEY_CURRENT_USER, config + QString::number(n));
    }
    if (m_run.CmdLineFlags & CmdLineFlag::ClearWidths) {
        m_log.LogMessage(u"Main: clearing column width settings"_s, 6);
        m_registry.DeleteRegValue(HKEY_CURRENT_USER, m_app.profileKey(m_run.ProfileNumber), u"frmMainWidth"_s);
        for (int n = 1; n <= 8; ++n)
            m_registry.DeleteRegValue(HKEY_CURRENT_USER, config, u"Col"_s + QString::number(n));
    }
}

std::optional<int> TallyProgram::singleInstance()
{
    // Only read: the settings are read in full once this copy knows that it goes on. A file that
    // cannot be read allows one copy, as the default options do, so that a start beside a running
    // copy hands over to it rather than set that copy's file aside.
    int32_t options = Settings::DefaultOptions;
    m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.configKey(), u"Options"_s, options);
    m_settings.OptionFlags = options;
    const bool severalAllowed = m_settings.hasOption(OptionFlag::MultInstances);

    // In a folder that others can write to, anyone could take the lock's name first and keep every
    // start of the program out.
    QString problem;
    const QString folder = PrivateFolder::forRuntimeFiles(u"tallymeter"_s, problem);
    if (folder.isEmpty()) {
        // Where several copies are allowed the lock keeps none out.
        if (severalAllowed)
            return std::nullopt;
        m_log.LogMessage(m_app.ProductName + u" found no folder of your own to keep its single-instance lock in:"_s +
                             CrLf + QString(problem).replace(u'\n', CrLf) + CrLf + CrLf + u"Make "_s +
                             PrivateFolder::candidates(u"tallymeter"_s).constFirst() +
                             u" a folder that only you can write to."_s,
                         1);
        return NoPrivateFolder;
    }
    m_instance = std::make_unique<SingleInstance>(m_app.Title, folder);
    m_instance->setActivateHandler([this] {
        m_log.LogMessage(u"Main: another instance asked to show the main window"_s, 6);
        // The run-once mode has no window, and one that is ending shows none.
        if (!m_mainWindow || ProgramExit::begun())
            return false;
        m_window.restoreMainWindow();
        // Before the window is loaded there is none to show.
        return m_window.isFormLoaded();
    });
    // Where several copies are allowed, the first of them holds the lock all the same, so that a
    // start that cannot read the settings file (and so cannot know) finds a copy that runs.
    if (severalAllowed) {
        if (!m_instance->claimIfFree())
            m_instance.reset();
        return std::nullopt;
    }
    const SingleInstance::Claim claim = m_instance->claim();
    if (claim == SingleInstance::Claim::First)
        return std::nullopt;
    // A start from the menu that brought nothing forward says why, where the cause stays.
    const QString unreachable = m_mainWindow ? m_instance->unreachableBecause() : QString();
    m_instance.reset();
    m_log.LogMessage(u"Main: detected existing instance already running"_s, 6);
    if (claim == SingleInstance::Claim::ActivatedOther)
        m_log.LogMessage(u"Main: successfully found and activated existing instance"_s, 6);
    else
        m_log.LogMessage(u"Main: failed to find and activate existing instance"_s, 6);
    // The run-once mode's caller (a scheduler, a terminal) sees no window come forward: it is told
    // on standard error why nothing was refreshed.
    if (claim != SingleInstance::Claim::ActivatedOther || !m_mainWindow) {
        m_log.LogMessage(u"An instance of "_s + m_app.ProductName + u" is already running."_s + CrLf +
                             u"Shut it down before attempting to start another instance."_s +
                             (unreachable.isEmpty()
                                  ? QString()
                                  : CrLf + CrLf + u"It cannot be brought to the front: "_s + unreachable + u'.'),
                         1);
    }
    return AlreadyRunning;
}

void TallyProgram::takeOverSettingsFile()
{
    // A file damaged before the start is kept aside and the run starts afresh.
    const std::optional<RegistryStore::Unreadable> unreadable = RegistryStore::currentUser().setAsideUnreadable();
    // The data folder was settled while the damaged file refused its "Path": the fresh file gets
    // it, as a first start's file does.
    if (unreadable && !unreadable->keptAs.isEmpty())
        m_dataFolder.SetDataPath(m_run.DataDir);
    // A file that goes bad from now on is this running copy's to tell of.
    m_registry.setUnreadableSink([this](const RegistryStore::Unreadable& damage) { m_settingsNotice.tell(damage); });
    if (unreadable)
        reportUnreadableSettings(*unreadable);
}

std::optional<int> TallyProgram::runHidden()
{
    // The month, its history and its exports would land where nobody looks for them.
    if (!m_dataFolder.unusableFolder().isEmpty()) {
        std::fprintf(stderr, "tallymeter: nothing was refreshed: the data folder %s cannot be used\n",
                     qPrintable(m_dataFolder.unusableFolder()));
        m_window.exitProgram();
        return DataFolderUnusable;
    }
    // The refresh stores into the database, so its file must be settled first.
    if (!m_settings.Username.isEmpty() && m_settings.hasOption(OptionFlag::History)) {
        QString error;
        if (!m_history.CheckSQLDatabase(error))
            m_log.LogMessage(error, 1);
    }
    bool fromcache = false;
    const bool ok = m_cycle.RefreshData(fromcache, quietOption(), false);
    // Whoever runs the run-once mode relies on its status: a month that was fetched but is in
    // neither the history nor the exports it was set to write is no success.
    const QStringList notKept = ok ? m_cycle.notKept() : QStringList();
    for (const QString& what : notKept)
        std::fprintf(stderr, "tallymeter: the month was fetched but not %s\n", qPrintable(what));
    m_window.exitProgram();
    return !ok ? RefreshFailed : notKept.isEmpty() ? Ok : NotKept;
}

void TallyProgram::startupRefresh()
{
    StartupDecision::Inputs in;
    in.OptionFlags = m_settings.OptionFlags;
    in.CmdLineFlags = m_run.CmdLineFlags;
    in.CmdLineQuiet = m_run.CmdLineQuiet;
    in.Username = m_settings.Username;
    in.LastUpdate = m_run.CurrentMonth.LastUpdate;
    in.StartupRefreshDelay = m_settings.StartupRefreshDelay;
    in.Interval = m_settings.Interval;
    in.mainWindowVisible = m_window.isMainWindowVisible();
    in.now = m_clock.now();
    const StartupDecision d = StartupDecision::decide(in);
    const QString lastUpdate = m_run.CurrentMonth.LastUpdate;
    bool fromcache = false;
    switch (d.action) {
    case StartupDecision::Action::None:
        break;
    case StartupDecision::Action::Delay:
        m_log.LogMessage(u"startup refresh delay is "_s + FormatPlural(m_settings.StartupRefreshDelay, u"minute"_s), 2);
        m_cycle.schedule().SetNextRefreshDate(lastUpdate, d.scheduleBase);
        break;
    case StartupDecision::Action::Skip:
        m_log.LogMessage(u"Main: skipping startup refresh (last refresh was < "_s +
                             QString::number(StartupDecision::MinimumMinutes) + u" minutes ago)"_s,
                         6);
        m_cycle.schedule().SetNextRefreshDate(lastUpdate, d.scheduleBase);
        break;
    case StartupDecision::Action::Refresh:
        m_log.LogMessage(u"Main: performing startup refresh"_s, 6);
        m_cycle.RefreshData(fromcache, d.quiet, false);
        break;
    case StartupDecision::Action::FirstRefresh:
        m_log.LogMessage(u"Main: performing very first refresh"_s, 6);
        m_cycle.RefreshData(fromcache, d.quiet, false);
        break;
    }
}

void TallyProgram::reportUnreadableSettings(const RegistryStore::Unreadable& unreadable)
{
    QString text = u"The settings file "_s + unreadable.file + u" could not be read ("_s + unreadable.reason + u")."_s;
    text += unreadable.keptAs.isEmpty() ? u" "_s : u" It was kept as "_s + unreadable.keptAs + u" and "_s;
    text += m_app.ProductName + u" starts with default settings."_s;
    // The `debug` value that would let it into the log was lost with the file.
    m_log.LogReport(text, 1);
}

std::optional<int> TallyProgram::Main()
{
    LocalDateTime built;
    const QString buildDate = FileDate(QCoreApplication::applicationFilePath(), built) ? built.toString() : QString();
    m_run.IsWine = RunningUnderWine();
    // Up to the single-instance check the settings file is only read, so that a start beside a
    // running copy leaves that copy's file as it is. (The data folder writes its "Path" only where
    // none is stored, which a running copy has done already; a damaged file refuses it.)
    m_dataFolder.settle();

    m_log.LogMessage(QString(70, u'-'), 2);
    m_log.LogMessage(u"starting "_s + m_app.ProductName + u' ' + m_diagnostics.LoggerVer() +
                         (buildDate.isEmpty() ? QString() : u" ("_s + buildDate + u')'),
                     2);
    m_log.LogMessage(u"a usage meter for Quolla and its sibling brands' accounts"_s, 2);
    if (m_log.fileLoggingOn()) {
        m_log.LogMessage(u"Sarnick.dll version "_s + m_diagnostics.SarnickVer(), 2);
        m_log.LogMessage(u"Pelborne.dll version "_s + m_diagnostics.PelborneVer(), 2);
        m_log.LogMessage(u"Hobwell.dll version "_s + m_diagnostics.qoSQLVer(), 2);
        m_log.LogMessage(u"TeeChart6.ocx version "_s + m_diagnostics.TeeChartVer(), 2);
    }
    if (!creationChecks())
        return ComponentMissing;

    int32_t debugLevel = 0;
    m_registry.GetRegWordValue(HKEY_CURRENT_USER, m_app.appKey(), u"debug"_s, debugLevel);
    if (debugLevel >= 10)
        m_diagnostics.WriteDebugInfo();

    const QString commandLine = CommandLine::joinArguments(m_arguments);
    m_log.LogMessage(u"Main: command line parameters: \""_s + commandLine + u'"', 5);
    m_log.LogMessage(u"Main: parsing command line parameters"_s, 6);
    QString error;
    if (!CommandLine::ParseCommandLine(m_arguments, m_run, error)) {
        m_log.LogMessage(u"Error processing command line parameters:"_s + CrLf + error + CrLf + CrLf + m_app.Title +
                             u" aborting..."_s,
                         1, quietOption() ? -1 : 0);
        // Without windows the message above already went to standard error.
        if (m_mainWindow)
            reportCommandLineError(error);
        return BadCommandLine;
    }

    // Before the settings file is changed in any way (set aside, migrated, cleared): a copy that
    // runs already keeps it, and this start hands over to that copy.
    if (const std::optional<int> ended = singleInstance())
        return ended;
    takeOverSettingsFile();
    m_migration.MigrateRegSettings();
    clearSettings();
    m_log.LogMessage(u"Main: reading registry settings"_s, 6);
    m_store.ReadRegSettings();
    if (m_run.CmdLineFlags & CmdLineFlag::Tray)
        m_settings.OptionFlags |= int32_t(OptionFlag::StartMinimised);

    const bool hidden = (m_run.CmdLineFlags & CmdLineFlag::Hidden) != 0;
    // The move shows its dialog where there are windows, else it reports on standard error.
    const auto migrate = [this](const QString& from, const QString& to, QString& szErr) {
        std::unique_ptr<MigrationProgress> progress;
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            progress = std::make_unique<frmDataMigration>(m_app.ProductName, from, to);
        else
            progress = std::make_unique<StderrMigrationProgress>();
        DataMigration migration(m_log, m_run, *progress);
        return migration.DoMigration(from, to, szErr);
    };
    const DataFolder::Check check = m_dataFolder.CheckDataDirectory(m_run.DataDir, hidden, migrate);
    // A signal that came while start-up had no need to turn the event loop is answered here, before
    // a window shows or a refresh starts: the windowed program's exit routine runs now, and the
    // run-once mode's refresh gives up at once. A signal while start-up asked its question: the
    // exit routine has run, the question stays for the next start.
    QCoreApplication::processEvents();
    if (ProgramExit::begun() && !hidden)
        return Ok;
    if (check == DataFolder::Check::Terminate)
        return CancelledByUser;

    m_mainRoutines.SetAppCaption();
    m_links.SetURLs();
    if (hidden)
        return runHidden();

    m_window.showMainWindow(m_settings.hasOption(OptionFlag::StartMinimised));
    m_window.AddTrayIcon(u"none_none"_s, m_app.ProductName);
    m_window.repaintMainWindow();
    if (!m_settings.Username.isEmpty() && m_settings.hasOption(OptionFlag::History)) {
        if (!m_history.CheckSQLDatabase(error))
            m_log.LogMessage(error, 1);
        error.clear();
        if (!m_mainRoutines.SQLGetMonths(error))
            m_log.LogMessage(error, 2);
    }
    if (!(m_run.CmdLineFlags & CmdLineFlag::NoOld)) {
        bool fromcache = true;
        m_cycle.RefreshData(fromcache, true, false);
    }
    startupRefresh();
    // Exit during the start-up refreshes: nothing more is shown or asked for.
    if (ProgramExit::begun())
        return Ok;
    m_cycle.schedule().UpdateRefreshStatus();
    if (m_settings.VerCheckOptions & 2)
        m_window.DoVersionCheck(true, true);
    return std::nullopt;
}
