// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The temporary per-process home that the test main sets up before any test runs.
namespace TestEnvironment {
// Called by the test main around the whole run.
void setUp();
void tearDown();

// The temporary folder standing in for HOME; XDG_CONFIG_HOME, XDG_DATA_HOME and
// XDG_RUNTIME_DIR are folders below it.
QString home();
// A fresh empty folder below home(), for one test's own files.
QString freshFolder(const QString& name);
// The file's whole content; empty when it is missing or unreadable.
QByteArray readFile(const QString& path);
} // namespace TestEnvironment
