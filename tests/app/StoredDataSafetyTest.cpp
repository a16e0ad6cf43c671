// SPDX-License-Identifier: MIT
#include "TallymeterProgram.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {
using StoredDataSafety = TallymeterProgram;
} // namespace

TEST_F(StoredDataSafety, AReaderThatStopsEarlyNeverCutsAStoreShort)
{
    writeProfile(u"sunshine 42"_s);
    // Every line the run writes to its standard output or error meets a closed pipe.
    ASSERT_EQ(runIntoClosedPipe({u"/H"_s}), 0) << log().toStdString();
    EXPECT_EQ(storedMonths(), 2);
    EXPECT_FALSE(QFile::exists(dataDir + u"/alice.sl3-journal"_s));
}
