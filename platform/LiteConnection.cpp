// SPDX-License-Identifier: MIT
#include "LiteConnection.h"

#include "LiteEngine.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <utility>

using namespace Qt::StringLiterals;

namespace {
// A file that stayed locked through a whole busy time-out is not waited for again for this long.
// Every database operation opens a connection of its own, and a refresh makes several in a row:
// each would wait the full time for a lock that another program holds, where the first wait has
// already told. A later one that finds the file still locked fails at once, as the first did.
constexpr std::chrono::seconds LockRemembered{60};

class LockedFiles
{
public:
    bool recentlyLocked(const std::string& file)
    {
        std::lock_guard guard(m_mutex);
        const auto found = m_since.find(file);
        return found != m_since.end() && std::chrono::steady_clock::now() - found->second < LockRemembered;
    }
    void waitedInVain(const std::string& file)
    {
        std::lock_guard guard(m_mutex);
        m_since[file] = std::chrono::steady_clock::now();
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::chrono::steady_clock::time_point> m_since;
};

LockedFiles& lockedFiles()
{
    static LockedFiles files;
    return files;
}

std::string fileOf(sqlite3* db)
{
    const char* name = sqlite3_db_filename(db, "main");
    return name ? std::string(name) : std::string();
}

// The engine's own busy time-out, with its steps, that also gives up at once on a file that was
// recently locked through a whole wait. The engine calls it only where waiting can help.
int waitForLock(void* connection, int attempt)
{
    static constexpr int steps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    static constexpr int stepCount = int(std::size(steps));
    const std::string file = fileOf(static_cast<sqlite3*>(connection));
    if (attempt == 0 && lockedFiles().recentlyLocked(file))
        return 0;
    int waited = 0;
    for (int i = 0; i < std::min(attempt, stepCount); ++i)
        waited += steps[i];
    const int step = steps[std::min(attempt, stepCount - 1)];
    waited += std::max(0, attempt - stepCount) * step;
    const int next = std::min(step, LiteConnection::BusyTimeoutMs - waited);
    if (next <= 0) {
        lockedFiles().waitedInVain(file);
        return 0;
    }
    sqlite3_sleep(next);
    return 1;
}
} // namespace

LiteError liteErrorOf(sqlite3* db, int code)
{
    const QString description = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    // The engine gives these one generic code; only its message tells them apart.
    if ((code & 0xff) == SQLITE_ERROR) {
        if (description.startsWith(u"no such table"_s) ||
            (description.startsWith(u"table "_s) && description.endsWith(u" already exists"_s)))
            return LiteError(LiteErrorNumber::TableMissingOrExists, description);
        if (description.startsWith(u"duplicate column name"_s))
            return LiteError(LiteErrorNumber::ColumnExists, description);
    }
    return LiteError(db ? sqlite3_extended_errcode(db) : code, description);
}

LiteConnection::~LiteConnection()
{
    Close();
}

LiteConnection::LiteConnection(LiteConnection&& other) noexcept : m_db(std::exchange(other.m_db, nullptr)) {}

LiteConnection& LiteConnection::operator=(LiteConnection&& other) noexcept
{
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

void LiteConnection::Open(const QString& path)
{
    Close();
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        const LiteError error = liteErrorOf(db, code);
        sqlite3_close_v2(db);
        throw error;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, waitForLock, db);
    m_db = db;
}

void LiteConnection::Close()
{
    // Deferred: the file closes once the last statement is finalised.
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

LiteStatement LiteConnection::Prepare(const QString& sql, const LiteRow& params)
{
    if (!m_db)
        throw LiteError(LiteErrorNumber::Misuse, u"database is not open"_s);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const int code = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &raw, nullptr);
    if (code != SQLITE_OK)
        throw liteErrorOf(m_db, code);
    if (!raw) // only blanks or a comment
        throw LiteError(LiteErrorNumber::Misuse, u"no statement in SQL text"_s);
    LiteStatement statement(raw);
    if (params.size() != sqlite3_bind_parameter_count(raw))
        throw LiteError(
            SQLITE_RANGE,
            u"statement takes %1 values, %2 given"_s.arg(sqlite3_bind_parameter_count(raw)).arg(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        const LiteValue& value = params.at(i);
        int bound = SQLITE_OK;
        if (value.isNull()) {
            bound = sqlite3_bind_null(raw, i + 1);
        } else if (value.isInteger()) {
            bound = sqlite3_bind_int64(raw, i + 1, value.toInteger());
        } else if (value.isReal()) {
            bound = sqlite3_bind_double(raw, i + 1, value.toDouble());
        } else {
            const QByteArray utf8 = value.toText().toUtf8();
            bound = sqlite3_bind_text64(raw, i + 1, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                                        SQLITE_UTF8);
        }
        if (bound != SQLITE_OK)
            throw liteErrorOf(m_db, bound);
    }
    return statement;
}

LiteResult LiteConnection::Execute(const QString& sql, const LiteRow& params)
{
    LiteStatement statement = Prepare(sql, params);
    if (!statement.Step())
        return std::nullopt;
    LiteRow row;
    const int columns = statement.columnCount();
    row.reserve(columns);
    for (int i = 0; i < columns; ++i)
        row.append(statement.ColumnValue(int16_t(i)));
    return row;
}

QString LiteConnection::engineVersion()
{
    return QString::fromLatin1(sqlite3_libversion());
}
