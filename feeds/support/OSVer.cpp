// SPDX-License-Identifier: MIT
#include "OSVer.h"

#include <QList>

#include <sys/utsname.h>

using namespace Qt::StringLiterals;

namespace {
// The leading digits of a release part ("1-18-amd64" gives 1); 0 when there are none.
QString leadingNumber(QStringView part)
{
    qsizetype digits = 0;
    while (digits < part.size() && part.at(digits).isDigit())
        ++digits;
    return digits == 0 ? u"0"_s : part.left(digits).toString();
}
} // namespace

QString OSVerString()
{
    // Stand-in for the platform's version query: the kernel release, e.g. "6.1.0-18-amd64".
    struct utsname names
    {};
    if (::uname(&names) != 0)
        return {};
    const QString release = QString::fromLatin1(names.release);
    const QList<QStringView> parts = QStringView(release).split(u'.');
    const QString major = leadingNumber(parts.value(0));
    const QString minor = leadingNumber(parts.value(1));
    return QString::fromLatin1(names.sysname) + u' ' + major + u'.' + minor;
}
