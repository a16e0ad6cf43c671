// SPDX-License-Identifier: MIT
#include "ProgramExit.h"

#include <QCoreApplication>
#include <QVariant>

namespace {
constexpr char PropertyName[] = "tallymeterExitBegun";
}

namespace ProgramExit {

void begin()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->setProperty(PropertyName, true);
}

bool begun()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && application->property(PropertyName).toBool();
}

void reset()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->setProperty(PropertyName, QVariant());
}

} // namespace ProgramExit
