// The send history's costs, each beside its floor in the same run: one
// record appended and committed durably against a bare SQLite insert of the
// same row; the history window's model opened on 100,000 records against
// the two bare queries it needs; and the CSV export of 100,000 records
// against a bare loop writing the same columns. The ratios close the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <QApplication>
#include <sqlite3.h>
#include <unistd.h>

#include "history/History.h"
#include "ui/history/HistoryTableModel.h"
#include "ui/history/SendHistoryWindow.h"
#include "ui/lang/LanguageChanger.h"
#include "ui/common/FileDialogs.h"

namespace {

std::string benchDir;

HistoryRecord SampleRecord(int i)
{
    HistoryRecord r;
    r.utcMs = UtcMsOf(2026, 1, 1) + int64_t(i) * 60000;
    r.utcOffsetMinutes = 60;
    r.user = "operator";
    r.host = "station-01";
    r.program = "LumarqPylon";
    r.version = "2.17";
    r.action = "send";
    r.pylon = "Pylon " + std::to_string(i % 8 + 1);
    r.target = "192.168.1." + std::to_string(10 + i % 8) + ":2101";
    r.ok = i % 10 != 0;
    for (int L = 0; L < 7; ++L) r.lines.push_back({"Product " + std::to_string(L + 1), "6.49", "blinking, zeros off"});
    r.brightness = "left 100%, right 100%, sensor 80%";
    r.gamma = "2.2";
    r.fonts = "basic 3, upper index 0";
    r.steps = {{"connect", 0, ""},           {"header 20", 170, "OK"}, {"digits", 170, "OK"}, {"header 21", 170, "OK"},
               {"line settings", 170, "OK"}, {"header 25", 170, "OK"}, {"fonts", 170, "OK"}};
    r.elapsedMs = 42;
    return r;
}

// A history of 100,000 records, made once.
const std::string& BigHistory()
{
    static const std::string path = [] {
        const std::string p = benchDir + "/big.sqlite";
        History h(p);
        std::vector<HistoryRecord> all;
        for (int i = 0; i < 100000; ++i) all.push_back(SampleRecord(i));
        if (!h.AppendAll(all)) std::fprintf(stderr, "cannot make %s: %s\n", p.c_str(), h.LastError().c_str());
        return p;
    }();
    return path;
}

sqlite3* OpenBare(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
    return db;
}

// ---- appending one record, committed durably

void BM_AppendFloorBareInsert(benchmark::State& state)
{
    const std::string path = benchDir + "/bare.sqlite";
    {
        History(path).Open();
    }  // the same schema
    sqlite3* db = OpenBare(path);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO record (utc_ms, utc_offset_min, user, host, program, version, action, pylon, "
                       "target, ok, lines, brightness, gamma, fonts, detail, steps, verified, differences, "
                       "elapsed_ms) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &s, nullptr);
    const HistoryRecord r = SampleRecord(1);
    const std::string lines = EncodeLines(r.lines), steps = EncodeSteps(r.steps);
    const std::string texts[] = {r.user, r.host, r.program, r.version, r.action, r.pylon, r.target};
    for (auto _ : state) {
        sqlite3_bind_int64(s, 1, r.utcMs);
        sqlite3_bind_int(s, 2, r.utcOffsetMinutes);
        for (int i = 0; i < 7; ++i) sqlite3_bind_text(s, 3 + i, texts[i].data(), int(texts[i].size()), SQLITE_STATIC);
        sqlite3_bind_int(s, 10, 1);
        sqlite3_bind_text(s, 11, lines.data(), int(lines.size()), SQLITE_STATIC);
        sqlite3_bind_text(s, 12, r.brightness.data(), int(r.brightness.size()), SQLITE_STATIC);
        sqlite3_bind_text(s, 13, r.gamma.data(), int(r.gamma.size()), SQLITE_STATIC);
        sqlite3_bind_text(s, 14, r.fonts.data(), int(r.fonts.size()), SQLITE_STATIC);
        sqlite3_bind_text(s, 15, "", 0, SQLITE_STATIC);
        sqlite3_bind_text(s, 16, steps.data(), int(steps.size()), SQLITE_STATIC);
        sqlite3_bind_int(s, 17, -1);
        sqlite3_bind_text(s, 18, "", 0, SQLITE_STATIC);
        sqlite3_bind_int64(s, 19, r.elapsedMs);
        if (sqlite3_step(s) != SQLITE_DONE) state.SkipWithError("insert failed");
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
}
BENCHMARK(BM_AppendFloorBareInsert)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_AppendRecord(benchmark::State& state)
{
    History h(benchDir + "/append.sqlite");
    h.Open();
    HistoryRecord r = SampleRecord(1);
    for (auto _ : state)
        if (!h.Append(r)) state.SkipWithError("append failed");
}
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// ---- opening the window's model on 100,000 records (a cold open of the file each time)

void BM_OpenFloorBareQueries(benchmark::State& state)
{
    const std::string& path = BigHistory();
    for (auto _ : state) {
        sqlite3* db = OpenBare(path);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM record", -1, &s, nullptr);
        sqlite3_step(s);
        benchmark::DoNotOptimize(sqlite3_column_int64(s, 0));
        sqlite3_finalize(s);
        sqlite3_prepare_v2(db, "SELECT * FROM record ORDER BY utc_ms DESC, id DESC LIMIT 200", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_text(s, 11));
        sqlite3_finalize(s);
        sqlite3_close(db);
    }
}
BENCHMARK(BM_OpenFloorBareQueries)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenWindowModel(benchmark::State& state)
{
    const std::string& path = BigHistory();
    for (auto _ : state) {
        History h(path);
        HistoryTableModel model(h);
        if (model.Total() != 100000 || model.rowCount() != HistoryTableModel::PageSize)
            state.SkipWithError("model did not open");
    }
}
BENCHMARK(BM_OpenWindowModel)->Unit(benchmark::kMillisecond)->UseRealTime();

class NoDialogs : public FileDialogs {
public:
    std::optional<QString> AskOpen(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> AskSave(QWidget*, const FileDialogRequest&) override { return {}; }
};

void BM_OpenWindow(benchmark::State& state)
{
    const std::string& path = BigHistory();
    LanguageChanger language{QString()};
    language.LoadLanguage(QStringLiteral("EN"));
    NoDialogs dialogs;
    for (auto _ : state) {
        History h(path);
        SendHistoryWindow window(nullptr, language, h, dialogs);
        window.show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- the CSV export of 100,000 records

void BM_ExportFloorBareLoop(benchmark::State& state)
{
    const std::string& path = BigHistory();
    sqlite3* db = OpenBare(path);
    for (auto _ : state) {
        std::ofstream out(benchDir + "/bare.csv", std::ios::binary | std::ios::trunc);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM record ORDER BY utc_ms DESC, id DESC", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < 20; ++c) {
                if (c) out << ',';
                if (const auto* t = sqlite3_column_text(s, c)) out << reinterpret_cast<const char*>(t);
            }
            out << "\r\n";
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
}
BENCHMARK(BM_ExportFloorBareLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportCsv(benchmark::State& state)
{
    History h(BigHistory());
    for (auto _ : state) {
        std::ofstream out(benchDir + "/history.csv", std::ios::binary | std::ios::trunc);
        if (!h.ExportCsv({}, out)) state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.iterations > 0) ms[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> ms;  // in each benchmark's own unit (all ms here)
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char tmpl[] = "/tmp/lmq-history-bench-XXXXXX";
    benchDir = ::mkdtemp(tmpl);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* name, const char* floor, const char* limit) {
        if (!reporter.ms.count(name) || !reporter.ms.count(floor)) return;
        std::printf("%-22s %8.3f ms  %-26s %8.3f ms  ratio %.2f  (%s)\n", name, reporter.ms[name], floor,
                    reporter.ms[floor], reporter.ms[name] / reporter.ms[floor], limit);
    };
    ratio("BM_AppendRecord/min_time:1.000/real_time", "BM_AppendFloorBareInsert/min_time:1.000/real_time",
          "within 1.5x and under 5 ms");
    ratio("BM_OpenWindowModel/real_time", "BM_OpenFloorBareQueries/real_time", "under 300 ms");
    ratio("BM_OpenWindow/real_time", "BM_OpenFloorBareQueries/real_time", "under 300 ms");
    ratio("BM_ExportCsv/real_time", "BM_ExportFloorBareLoop/real_time", "under 2 s");
    benchmark::Shutdown();
    std::filesystem::remove_all(benchDir);
    return 0;
}
