// SPDX-License-Identifier: MIT
#pragma once

#include "StatusSink.h"

#include <QString>

// The cache folder of a component when no "Path" is stored: the folder of the program that hosts
// it, or the component's own folder when the program's is unknown. Programs and libraries are
// installed where a user cannot write, so a folder that is not writable gives way to the per-user
// folder, which is created (private, as a missing data home must be). Each step is reported
// (without a component prefix).
QString DeriveCacheFolder(const QString& programFolder, const QString& componentFolder, const QString& perUserFolder,
                          const StatusSink& report);

// That per-user folder: the host program's own data folder (the data home and its product name),
// since the folder chosen is stored as the "Path" that the program takes as its data folder; the
// component's title when the host names no product.
QString PerUserCacheFolder(const QString& dataHome, const QString& hostProduct, const QString& componentTitle);
