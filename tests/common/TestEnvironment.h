// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The temporary home that the test main gives every test: HOME and the XDG folders point into a
// new empty folder before each test starts and it is removed when the test ends, so no test sees
// another's settings, data or caches, whether CTest runs it alone or its executable runs whole.
namespace TestEnvironment {
// Called by the test main around the whole run.
void setUp();
void tearDown();
// Called by the test main around each test.
void beginTest();
void endTest();

// What appeared in the test program's own folder since the current test began. Tests write only
// below home(); CTest runs the tests of one program side by side, so a name here may also come
// from a neighbour.
QStringList strayFiles();

// The temporary folder standing in for HOME; XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_RUNTIME_DIR are folders below it.
QString home();
// A fresh empty folder below home(), for one test's own files.
QString freshFolder(const QString& name);
// The file's whole content; empty when it is missing or unreadable.
QByteArray readFile(const QString& path);
} // namespace TestEnvironment
