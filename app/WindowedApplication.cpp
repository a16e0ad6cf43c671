// SPDX-License-Identifier: MIT
#include "WindowedApplication.h"

#include "DisplayProbe.h"
#include "TallyProgram.h"

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {
void reportNoDisplay(const QString& reason)
{
    std::fprintf(stderr,
                 "tallymeter: no display to show the window on (%s).\n"
                 "Start it on a desktop, or with /H to refresh once without a window.\n",
                 qPrintable(reason));
    std::fflush(stderr);
}

QtMessageHandler qtHandler = nullptr;

// Qt ends with an abort (and a core dump) when none of its platforms starts; that is no crash of
// ours, only a display that cannot be used, so it ends as one. The lock and the data are not
// touched yet.
void endFatalAsNoDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        qtHandler(type, context, message);
        return;
    }
    reportNoDisplay(u"none of Qt's platform plugins could start on it"_s);
    std::_Exit(TallyProgram::NoDisplay);
}
} // namespace

namespace WindowedApplication {
std::unique_ptr<QApplication> open(int& argc, char** argv, int& failure)
{
    DisplayProbe probe;
    if (!probe.unavailableReason().isEmpty()) {
        // A command line that is not understood comes first: it is what the user has to mend.
        if (TallyProgram::refuseCommandLine(argc, argv)) {
            failure = TallyProgram::BadCommandLine;
        } else {
            reportNoDisplay(probe.unavailableReason());
            failure = TallyProgram::NoDisplay;
        }
        return nullptr;
    }
    qtHandler = qInstallMessageHandler(endFatalAsNoDisplay);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(qtHandler);
    // Qt's own connection is open now, so the X server keeps a client when the probe's goes.
    probe.release();
    return application;
}
} // namespace WindowedApplication
