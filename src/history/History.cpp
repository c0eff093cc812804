#include "history/History.h"

#include <chrono>
#include <string_view>
#include <sqlite3.h>

#include "history/HistoryPlatform.h"
#include "log/Log.h"

namespace {

constexpr const char* Columns =
    "utc_ms, utc_offset_min, user, host, program, version, action, pylon, target, ok, lines, brightness, gamma, "
    "fonts, detail, steps, verified, differences, elapsed_ms";

// The schema of each version, applied in turn from the file's user_version.
constexpr const char* Migrations[] = {
    // 0 -> 1
    "CREATE TABLE record ("
    " id INTEGER PRIMARY KEY,"
    " utc_ms INTEGER NOT NULL, utc_offset_min INTEGER NOT NULL,"
    " user TEXT NOT NULL, host TEXT NOT NULL, program TEXT NOT NULL, version TEXT NOT NULL,"
    " action TEXT NOT NULL, pylon TEXT NOT NULL, target TEXT NOT NULL, ok INTEGER NOT NULL,"
    " lines TEXT NOT NULL, brightness TEXT NOT NULL, gamma TEXT NOT NULL, fonts TEXT NOT NULL,"
    " detail TEXT NOT NULL, steps TEXT NOT NULL, verified INTEGER NOT NULL, differences TEXT NOT NULL,"
    " elapsed_ms INTEGER NOT NULL);"
    "CREATE INDEX record_time ON record(utc_ms);"
    "CREATE INDEX record_target ON record(target, utc_ms);",
};
static_assert(std::size(Migrations) == History::SchemaVersion);

bool IsDamage(int code)
{
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

int64_t SystemNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// The WHERE clause of a filter; its parameters are bound from 1 by Bind.
std::string Where(const HistoryFilter& f)
{
    std::string sql = " WHERE utc_ms >= ?1 AND utc_ms < ?2";
    if (!f.target.empty()) sql += " AND target = ?3";
    if (f.result == HistoryFilter::Result::Ok) sql += " AND ok = 1";
    if (f.result == HistoryFilter::Result::Failed) sql += " AND ok = 0";
    return sql;
}

void Bind(sqlite3_stmt* s, const HistoryFilter& f)
{
    sqlite3_bind_int64(s, 1, f.fromUtcMs);
    sqlite3_bind_int64(s, 2, f.toUtcMs);
    if (!f.target.empty()) sqlite3_bind_text(s, 3, f.target.data(), int(f.target.size()), SQLITE_TRANSIENT);
}

std::string Text(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, size_t(sqlite3_column_bytes(s, column))) : std::string();
}

// A row of "SELECT id, <Columns>".
HistoryRecord RecordOf(sqlite3_stmt* s)
{
    HistoryRecord r;
    r.id = sqlite3_column_int64(s, 0);
    r.utcMs = sqlite3_column_int64(s, 1);
    r.utcOffsetMinutes = sqlite3_column_int(s, 2);
    r.user = Text(s, 3);
    r.host = Text(s, 4);
    r.program = Text(s, 5);
    r.version = Text(s, 6);
    r.action = Text(s, 7);
    r.pylon = Text(s, 8);
    r.target = Text(s, 9);
    r.ok = sqlite3_column_int(s, 10) != 0;
    r.lines = DecodeLines(Text(s, 11));
    r.brightness = Text(s, 12);
    r.gamma = Text(s, 13);
    r.fonts = Text(s, 14);
    r.detail = Text(s, 15);
    r.steps = DecodeSteps(Text(s, 16));
    r.verified = sqlite3_column_int(s, 17);
    r.differences = Text(s, 18);
    r.elapsedMs = sqlite3_column_int64(s, 19);
    return r;
}

void CsvField(std::string& row, std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
        row += value;
        return;
    }
    row += '"';
    for (char c : value) {
        if (c == '"') row += '"';
        row += c;
    }
    row += '"';
}

// Calls f(fields) for each line of a stored list, its fields split at tabs.
template <typename F>
void ForEachStored(std::string_view text, F f)
{
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        std::string_view fields[3];
        for (int i = 0; i < 3; ++i) {
            const size_t tab = i < 2 ? line.find('\t') : std::string_view::npos;
            fields[i] = line.substr(0, tab);
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        }
        f(fields);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// The stored lines as a person reads them: "1: ON 6.49 (blinking)", CR LF between.
void LinesText(std::string& out, std::string_view stored)
{
    int n = 0;
    ForEachStored(stored, [&](const std::string_view* f) {
        if (n) out += "\r\n";
        out += std::to_string(++n);
        out += ": ";
        out += f[0];
        out += ' ';
        out += f[1].empty() ? std::string_view("-") : f[1];
        if (!f[2].empty()) {
            out += " (";
            out += f[2];
            out += ')';
        }
    });
}

// The stored steps: "header 20: 170 OK", CR LF between.
void StepsText(std::string& out, std::string_view stored)
{
    bool first = true;
    ForEachStored(stored, [&](const std::string_view* f) {
        if (!first) out += "\r\n";
        first = false;
        out += f[0];
        out += ": ";
        out += f[1];
        if (!f[2].empty()) {
            out += ' ';
            out += f[2];
        }
    });
}

// A multi-line field of the CSV: CR LF between its lines, as in the rows.
void CrLf(std::string& out, std::string_view text)
{
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
}

// One record's columns as stored, for the CSV.
struct StoredRow {
    int64_t id, utcMs, elapsedMs;
    int offset, verified;
    bool ok;
    std::string_view user, host, program, version, action, pylon, target, lines, brightness, gamma, fonts, detail,
        steps, differences;
};

std::string_view View(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(s, column))) : std::string_view();
}

StoredRow StoredOf(sqlite3_stmt* s)
{
    return {sqlite3_column_int64(s, 0),
            sqlite3_column_int64(s, 1),
            sqlite3_column_int64(s, 19),
            sqlite3_column_int(s, 2),
            sqlite3_column_int(s, 17),
            sqlite3_column_int(s, 10) != 0,
            View(s, 3),
            View(s, 4),
            View(s, 5),
            View(s, 6),
            View(s, 7),
            View(s, 8),
            View(s, 9),
            View(s, 11),
            View(s, 12),
            View(s, 13),
            View(s, 14),
            View(s, 15),
            View(s, 16),
            View(s, 18)};
}

// Appends the row of `r` to `out`, without its CR LF; `scratch` is reused between rows.
void AppendCsvRow(std::string& out, const StoredRow& r, std::string& scratch)
{
    auto field = [&](std::string_view v) {
        CsvField(out, v);
        out += ',';
    };
    out += std::to_string(r.id);
    out += ',';
    field(FormatUtc(r.utcMs));
    field(FormatOffset(r.offset));
    for (std::string_view v : {r.user, r.host, r.program, r.version, r.action, r.pylon, r.target}) field(v);
    field(r.ok ? "ok" : "failed");
    scratch.clear();
    LinesText(scratch, r.lines);
    field(scratch);
    for (std::string_view v : {r.brightness, r.gamma, r.fonts, r.detail}) field(v);
    scratch.clear();
    StepsText(scratch, r.steps);
    field(scratch);
    field(r.verified < 0 ? "" : r.verified == 1 ? "yes" : r.verified == 2 ? "not read back" : "no");
    scratch.clear();
    CrLf(scratch, r.differences);
    field(scratch);
    out += std::to_string(r.elapsedMs);
}

}  // namespace

std::string History::DefaultPath() { return HistoryPlatform::DefaultPath(); }

History::History(std::string path) : clock(SystemNowMs), path_(std::move(path)) {}

History::~History() { Close(); }

void History::Close()
{
    if (insert_) sqlite3_finalize(insert_);
    insert_ = nullptr;
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool History::Fail(const std::string& what, int code)
{
    error_ = what + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
    Log::Write(Log::Category::Store, Log::Level::Warning, "history " + path_ + ": " + error_);
    return false;
}

bool History::Exec(const char* sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    return rc == SQLITE_OK;
}

sqlite3_stmt* History::Prepare(const std::string& sql)
{
    sqlite3_stmt* s = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, sql.c_str(), int(sql.size()), &s, nullptr) != SQLITE_OK) {
        if (db_) Fail("query", sqlite3_errcode(db_));
        return nullptr;
    }
    return s;
}

bool History::Open()
{
    bool damaged = false;
    if (OpenOnce(damaged)) return true;
    if (!damaged || !MoveAside()) return false;
    return OpenOnce(damaged);
}

bool History::OpenOnce(bool& damaged)
{
    Close();
    damaged = false;
    error_.clear();
    if (!HistoryPlatform::MakeParentFolders(path_)) {
        error_ = "cannot create the folder of " + path_;
        Log::Write(Log::Category::Store, Log::Level::Warning, "history: " + error_);
        return false;
    }
    int rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        damaged = IsDamage(rc);
        Fail("open", rc);
        Close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    // Another program (pylonctl beside the window) may be writing: wait a
    // little for it rather than lose the record.
    sqlite3_busy_timeout(db_, 500);
    // The first statements read the file's header: a file that is not a
    // database or a damaged one fails here.
    rc = SQLITE_OK;
    if (!Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=FULL")) rc = sqlite3_errcode(db_);
    if (rc == SQLITE_OK) rc = Migrate();
    if (rc != SQLITE_OK) {
        damaged = IsDamage(rc);
        Fail("open", rc);
        Close();
        return false;
    }
    if (sqlite3_db_readonly(db_, "main") == 1) {
        error_ = "the file is read-only";
        Log::Write(Log::Category::Store, Log::Level::Warning, "history " + path_ + ": " + error_);
        Close();
        return false;
    }
    return true;
}

int History::Migrate()
{
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA user_version", -1, &s, nullptr);
    if (rc != SQLITE_OK) return rc;
    int version = 0;
    rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    if (rc != SQLITE_ROW) return rc;
    // A newer program's file is used as it is: it only adds to the schema.
    for (int v = version; v < SchemaVersion; ++v) {
        const std::string sql = std::string("BEGIN IMMEDIATE;") + Migrations[v] +
                                "PRAGMA user_version=" + std::to_string(v + 1) + ";COMMIT;";
        if (!Exec(sql.c_str())) {
            rc = sqlite3_errcode(db_);
            Exec("ROLLBACK");
            return rc;
        }
    }
    return SQLITE_OK;
}

bool History::MoveAside()
{
    const std::string stamp = FormatUtc(clock ? clock() : SystemNowMs());
    // "2026-12-08T23:11:50.123Z" -> "20261208-231150"
    std::string compact;
    for (char c : stamp.substr(0, 19))
        if (c != '-' && c != ':') compact += c == 'T' ? '-' : c;
    std::string target = path_ + ".damaged-" + compact;
    for (int n = 2; HistoryPlatform::Exists(target); ++n)
        target = path_ + ".damaged-" + compact + "-" + std::to_string(n);
    Close();
    if (!HistoryPlatform::Rename(path_, target)) {
        error_ = "cannot move the damaged file aside to " + target;
        Log::Write(Log::Category::Store, Log::Level::Warning, "history: " + error_);
        return false;
    }
    // The journal belongs to the damaged file and goes with it; the shared
    // memory index is rebuilt from it.
    for (const char* suffix : {"-wal", "-shm"})
        if (HistoryPlatform::Exists(path_ + suffix)) HistoryPlatform::Rename(path_ + suffix, target + suffix);
    movedAside_ = target;
    Log::Write(Log::Category::Store, Log::Level::Warning, "history: damaged file moved aside to " + target);
    return true;
}

bool History::Append(HistoryRecord& record)
{
    bool damaged = false;
    if (!db_ && !OpenOnce(damaged) && !(damaged && MoveAside() && OpenOnce(damaged))) return false;
    if (Insert(record, damaged)) return true;
    // Damage found while writing: start a new file and write the record there.
    if (!damaged) return false;
    if (!MoveAside() || !OpenOnce(damaged)) return false;
    return Insert(record, damaged);
}

bool History::AppendAll(std::vector<HistoryRecord>& records)
{
    if (!db_ && !Open()) return false;
    if (!Exec("BEGIN IMMEDIATE")) return Fail("write", sqlite3_errcode(db_));
    bool damaged = false;
    for (HistoryRecord& r : records) {
        if (!Insert(r, damaged)) {
            Exec("ROLLBACK");
            return false;
        }
    }
    if (!Exec("COMMIT")) {
        const int rc = sqlite3_errcode(db_);
        Exec("ROLLBACK");
        return Fail("write", rc);
    }
    return true;
}

bool History::Insert(HistoryRecord& r, bool& damaged)
{
    damaged = false;
    if (!insert_) {
        const std::string sql =
            std::string("INSERT INTO record (") + Columns + ") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert_, nullptr) != SQLITE_OK) {
            damaged = IsDamage(sqlite3_errcode(db_));
            insert_ = nullptr;
            return Fail("write", sqlite3_errcode(db_));
        }
    }
    const std::string lines = EncodeLines(r.lines);
    const std::string steps = EncodeSteps(r.steps);
    sqlite3_stmt* s = insert_;
    auto text = [s](int i, const std::string& v) { sqlite3_bind_text(s, i, v.data(), int(v.size()), SQLITE_STATIC); };
    sqlite3_bind_int64(s, 1, r.utcMs);
    sqlite3_bind_int(s, 2, r.utcOffsetMinutes);
    text(3, r.user);
    text(4, r.host);
    text(5, r.program);
    text(6, r.version);
    text(7, r.action);
    text(8, r.pylon);
    text(9, r.target);
    sqlite3_bind_int(s, 10, r.ok ? 1 : 0);
    text(11, lines);
    text(12, r.brightness);
    text(13, r.gamma);
    text(14, r.fonts);
    text(15, r.detail);
    text(16, steps);
    sqlite3_bind_int(s, 17, r.verified);
    text(18, r.differences);
    sqlite3_bind_int64(s, 19, r.elapsedMs);

    // One statement in its own transaction: committed (and synced) when
    // sqlite3_step returns SQLITE_DONE.
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (rc != SQLITE_DONE) {
        damaged = IsDamage(rc);
        return Fail("write", rc);
    }
    r.id = sqlite3_last_insert_rowid(db_);
    return true;
}

std::vector<HistoryRecord> History::Query(const HistoryFilter& filter, int limit, const HistoryCursor& after)
{
    std::vector<HistoryRecord> rows;
    if (!db_ && !Open()) return rows;
    const std::string sql = std::string("SELECT id, ") + Columns + " FROM record" + Where(filter) +
                            " AND (utc_ms, id) < (?4, ?5) ORDER BY utc_ms DESC, id DESC LIMIT ?6";
    sqlite3_stmt* s = Prepare(sql);
    if (!s) return rows;
    Bind(s, filter);
    sqlite3_bind_int64(s, 4, after.utcMs);
    sqlite3_bind_int64(s, 5, after.id);
    sqlite3_bind_int(s, 6, limit);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) rows.push_back(RecordOf(s));
    if (rc != SQLITE_DONE) Fail("query", rc);
    sqlite3_finalize(s);
    return rows;
}

int64_t History::Count(const HistoryFilter& filter)
{
    if (!db_ && !Open()) return 0;
    sqlite3_stmt* s = Prepare("SELECT count(*) FROM record" + Where(filter));
    if (!s) return 0;
    Bind(s, filter);
    const int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_finalize(s);
    return n;
}

std::vector<std::string> History::Targets()
{
    std::vector<std::string> targets;
    if (!db_ && !Open()) return targets;
    sqlite3_stmt* s = Prepare("SELECT DISTINCT target FROM record ORDER BY target");
    if (!s) return targets;
    while (sqlite3_step(s) == SQLITE_ROW) targets.push_back(Text(s, 0));
    sqlite3_finalize(s);
    return targets;
}

std::string History::CsvHeader()
{
    return "id,time_utc,utc_offset,user,host,program,version,action,pylon,target,result,lines,brightness,gamma,"
           "fonts,parameters,steps,verified,differences,elapsed_ms";
}

std::string History::CsvRow(const HistoryRecord& r)
{
    const std::string lines = EncodeLines(r.lines), steps = EncodeSteps(r.steps);
    const StoredRow row{r.id,         r.utcMs,   r.elapsedMs, r.utcOffsetMinutes, r.verified, r.ok,         r.user,
                        r.host,       r.program, r.version,   r.action,           r.pylon,    r.target,     lines,
                        r.brightness, r.gamma,   r.fonts,     r.detail,           steps,      r.differences};
    std::string out, scratch;
    AppendCsvRow(out, row, scratch);
    return out;
}

bool History::ExportCsv(const HistoryFilter& filter, std::ostream& out)
{
    if (!db_ && !Open()) return false;
    const std::string sql =
        std::string("SELECT id, ") + Columns + " FROM record" + Where(filter) + " ORDER BY utc_ms DESC, id DESC";
    sqlite3_stmt* s = Prepare(sql);
    if (!s) return false;
    Bind(s, filter);
    // Rows are gathered into large writes.
    std::string buffer = CsvHeader() + "\r\n", scratch;
    buffer.reserve(1 << 20);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        AppendCsvRow(buffer, StoredOf(s), scratch);
        buffer += "\r\n";
        if (buffer.size() >= (1 << 20) - 4096) {
            out.write(buffer.data(), std::streamsize(buffer.size()));
            buffer.clear();
        }
    }
    out.write(buffer.data(), std::streamsize(buffer.size()));
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) return Fail("export", rc);
    return bool(out);
}
