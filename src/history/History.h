#pragma once
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "history/HistoryRecord.h"

struct sqlite3;
struct sqlite3_stmt;

// Which records a query takes.
struct HistoryFilter {
    enum class Result { Any, Ok, Failed };
    std::string target;  // empty: every pylon
    Result result = Result::Any;
    int64_t fromUtcMs = std::numeric_limits<int64_t>::min();  // inclusive
    int64_t toUtcMs = std::numeric_limits<int64_t>::max();    // exclusive
};

// Where a page of a query ends: the next page starts after this record.
struct HistoryCursor {
    int64_t utcMs = std::numeric_limits<int64_t>::max();
    int64_t id = std::numeric_limits<int64_t>::max();
};

// The send history: a per-user SQLite database of one record per command
// and pylon, newest first. The file is opened in WAL mode, every write is a
// transaction committed durably, and the schema is created and brought up
// to date by the program (PRAGMA user_version). A file that is not a
// database or is damaged is moved aside (history.sqlite.damaged-<UTC time>)
// and a new one started; nothing is ever deleted.
class History {
public:
    static constexpr int SchemaVersion = 1;

    // The per-user file (HistoryPlatform::DefaultPath).
    static std::string DefaultPath();

    explicit History(std::string path = DefaultPath());
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Opens the file, creating it and its folders when needed; false when it
    // cannot be opened (LastError says why). Open again after a failure to retry.
    bool Open();
    bool IsOpen() const { return db_ != nullptr; }
    void Close();
    const std::string& Path() const { return path_; }
    const std::string& LastError() const { return error_; }
    // Where a damaged file was moved by the last Open or Append; empty if none was.
    const std::string& MovedAside() const { return movedAside_; }

    // Appends the record in one transaction and sets its id; opens the file
    // first when it is not open. False when it could not be written.
    bool Append(HistoryRecord& record);

    // Newest first (time, then id), at most `limit` records after `after`.
    std::vector<HistoryRecord> Query(const HistoryFilter& filter, int limit, const HistoryCursor& after = {});
    int64_t Count(const HistoryFilter& filter);
    // The targets of every record, each once, in order.
    std::vector<std::string> Targets();
    // RFC 4180: a header row, then one row per record newest first, fields
    // separated by commas and quoted when they hold a comma, quote or line
    // break, rows ended by CR LF, UTF-8. False when the query failed.
    bool ExportCsv(const HistoryFilter& filter, std::ostream& out);

    // The CSV header row and one record's row, without the CR LF.
    static std::string CsvHeader();
    static std::string CsvRow(const HistoryRecord& record);

    // The clock of the names of moved files (UTC ms); tests set it.
    std::function<int64_t()> clock;

private:
    bool OpenOnce(bool& damaged);
    int Migrate();  // an SQLite result code
    bool Exec(const char* sql);
    bool Insert(HistoryRecord& record, bool& damaged);
    bool MoveAside();
    bool Fail(const std::string& what, int code);
    sqlite3_stmt* Prepare(const std::string& sql);

    std::string path_;
    std::string error_;
    std::string movedAside_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
};
