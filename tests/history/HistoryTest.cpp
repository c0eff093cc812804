// The history file: queries and filters, the CSV bytes, the prices as the
// picture shows them, and what survives a killed writer.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "history/History.h"
#include "model/PylonConfig.h"
#include "support/TempDir.h"

namespace {

HistoryRecord Row(int64_t utcMs, const std::string& target, bool ok, const std::string& action = "send")
{
    HistoryRecord r;
    r.utcMs = utcMs;
    r.utcOffsetMinutes = 60;
    r.user = "op";
    r.host = "station";
    r.program = "LumarqPylon";
    r.version = "2.17";
    r.action = action;
    r.pylon = "North";
    r.target = target;
    r.ok = ok;
    r.steps = {{"connect", 0, ""}, {"header 20", ok ? 170 : 204, ok ? "OK" : "* CRC error"}};
    r.elapsedMs = 12;
    return r;
}

std::string SqlText(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    std::string value = "(none)";
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
    return value;
}

std::vector<int64_t> Ids(const std::vector<HistoryRecord>& rows)
{
    std::vector<int64_t> ids;
    for (const HistoryRecord& r : rows) ids.push_back(r.id);
    return ids;
}

}  // namespace

TEST(History, QueriesNewestFirstByTargetResultAndDateAndPagesWithoutGapsOrRepeats)
{
    TempDir dir;
    History h(dir.File("h/history.sqlite"));
    const int64_t day = UtcMsOf(2026, 12, 8);
    // Written out of time order: the list follows the time, then the order written.
    const HistoryRecord rows[] = {Row(day + 5000, "10.0.0.1:2101", true), Row(day - 1, "10.0.0.2:2101", false),
                                  Row(day + 5000, "10.0.0.2:2101", true), Row(day + 86400000, "ttyS0 9600", false),
                                  Row(day, "10.0.0.1:2101", false)};
    for (HistoryRecord r : rows) ASSERT_TRUE(h.Append(r)) << h.LastError();

    struct Case {
        const char* name;
        HistoryFilter filter;
        std::vector<int64_t> ids;
    };
    const Case cases[] = {
        {"all", {}, {4, 3, 1, 5, 2}},
        {"one pylon", {"10.0.0.1:2101"}, {1, 5}},
        {"failed", {"", HistoryFilter::Result::Failed}, {4, 5, 2}},
        {"ok of a pylon", {"10.0.0.2:2101", HistoryFilter::Result::Ok}, {3}},
        {"one day, its first ms in, the next day's out",
         {"", HistoryFilter::Result::Any, day, day + 86400000},
         {3, 1, 5}},
        {"nothing", {"10.9.9.9:1"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Ids(h.Query(c.filter, 100)), c.ids);
        EXPECT_EQ(h.Count(c.filter), int64_t(c.ids.size()));
    }

    // Pages of two, each after the last row of the one before.
    std::vector<int64_t> paged;
    HistoryCursor cursor;
    for (std::vector<HistoryRecord> page; !(page = h.Query({}, 2, cursor)).empty();) {
        for (const HistoryRecord& r : page) paged.push_back(r.id);
        cursor = {page.back().utcMs, page.back().id};
    }
    EXPECT_EQ(paged, (std::vector<int64_t>{4, 3, 1, 5, 2}));
    EXPECT_EQ(h.Targets(), (std::vector<std::string>{"10.0.0.1:2101", "10.0.0.2:2101", "ttyS0 9600"}));

    // Every field comes back as written.
    HistoryRecord full = Row(day, "10.0.0.3:2101", true);
    full.lines = {{"ON 95", "6.49", "blinking, zeros off"}, {"", "", "off"}};
    full.brightness = "left 50%, right 60%, sensor 70%";
    full.gamma = "2.2";
    full.fonts = "basic 3, upper index 1";
    full.verified = 0;
    full.differences = "Line 1: sent 6.49, pylon holds 6.59\nLine 2: sent off, pylon holds 0.00";
    ASSERT_TRUE(h.Append(full));
    const std::vector<HistoryRecord> back = h.Query({"10.0.0.3:2101"}, 1);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], full);

    // WAL mode and the schema version are in the file.
    h.Close();
    EXPECT_EQ(SqlText(h.Path(), "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(SqlText(h.Path(), "PRAGMA user_version"), std::to_string(History::SchemaVersion));
}

TEST(History, CsvIsRfc4180WithAHeaderQuotedFieldsAndCrLf)
{
    TempDir dir;
    History h(dir.File("history.sqlite"));
    HistoryRecord a = Row(UtcMsOf(2026, 12, 8, 23, 11, 50) + 123, "127.0.0.1:2101", true);
    a.pylon = "Stacja \"Północ\", wjazd";
    a.lines = {{"ON", "6.49", "blinking, zeros off"}, {"PB 95", "------", "dash"}};
    a.gamma = "off";
    HistoryRecord b = Row(UtcMsOf(2026, 12, 9), "ttyS0 9600", false, "test");
    b.utcOffsetMinutes = -330;
    b.pylon = "";
    b.detail = "test 1";
    b.verified = 2;
    b.differences = "* Not verified";
    ASSERT_TRUE(h.Append(a));
    ASSERT_TRUE(h.Append(b));

    std::ostringstream out;
    ASSERT_TRUE(h.ExportCsv({}, out));
    const std::string expected =
        "id,time_utc,utc_offset,user,host,program,version,action,pylon,target,result,lines,brightness,gamma,"
        "fonts,parameters,steps,verified,differences,elapsed_ms\r\n"
        "2,2026-12-09T00:00:00.000Z,-05:30,op,station,LumarqPylon,2.17,test,,ttyS0 9600,failed,,,,,test 1,"
        "\"connect: 0\r\nheader 20: 204 * CRC error\",not read back,* Not verified,12\r\n"
        "1,2026-12-08T23:11:50.123Z,+01:00,op,station,LumarqPylon,2.17,send,"
        "\"Stacja \"\"Północ\"\", wjazd\",127.0.0.1:2101,ok,"
        "\"1: ON 6.49 (blinking, zeros off)\r\n2: PB 95 ------ (dash)\",,off,,,"
        "\"connect: 0\r\nheader 20: 170 OK\",,,12\r\n";
    EXPECT_EQ(out.str(), expected);

    std::ostringstream failedOnly;
    ASSERT_TRUE(h.ExportCsv({"", HistoryFilter::Result::Failed}, failedOnly));
    EXPECT_EQ(failedOnly.str().find("\r\n1,"), std::string::npos);
    EXPECT_NE(failedOnly.str().find("\r\n2,"), std::string::npos);
}

TEST(History, ShowsEachPriceAsThePictureDoes)
{
    struct Case {
        std::array<uint8_t, 6> digits;
        uint8_t point, zerosOff, dash, off;
        const char* shown;
    };
    const Case cases[] = {
        {{0, 0, 0, 6, 4, 9}, 2, 0, 0, 0, "0006.49"},
        {{0, 0, 0, 6, 4, 9}, 2, 1, 0, 0, "6.49"},
        {{0, 0, 0, 0, 4, 9}, 2, 1, 0, 0, "0.49"},     // the units digit stays
        {{0, 0, 0, 0, 0, 0}, 0, 1, 0, 0, "0"},        // no point: all but the last blank
        {{0, 0, 0, 0, 0, 7}, 5, 1, 0, 0, "0.00007"},  // point after the first digit: nothing blank
        {{1, 0, 0, 6, 4, 9}, 3, 1, 0, 0, "100.649"},  // a zero after a digit is shown
        {{0, 0, 0, 6, 4, 9}, 2, 1, 1, 0, "------"},
        {{0, 0, 0, 6, 4, 9}, 2, 0, 1, 1, ""},            // off wins over the dashes
        {{0, 12, 0, 6, 10, 13}, 1, 0, 0, 0, "0?06 .-"},  // bytes no picture shows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        PylonConfig m;
        m.Prices[2].Price = c.digits;
        m.Prices[2].Conf.DecimalPoint = c.point;
        m.Prices[2].Conf.ZerosOff = c.zerosOff;
        m.Prices[2].Conf.PriceDash = c.dash;
        m.Prices[2].Conf.PriceOff = c.off;
        EXPECT_EQ(ShownPrice(m, 2), c.shown);
    }
}

TEST(History, EveryCommittedRecordSurvivesAWriterKilledWhileWriting)
{
    TempDir dir;
    const std::string path = dir.File("history.sqlite");
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        History h(path);
        for (int i = 0;; ++i) {
            HistoryRecord r = Row(1000 + i, "127.0.0.1:" + std::to_string(i), true);
            r.lines.assign(7, {"name", "6.49", "blinking"});
            if (!h.Append(r)) ::_exit(2);
            const int64_t id = r.id;  // committed: tell the parent
            if (::write(pipeFds[1], &id, sizeof id) != sizeof id) ::_exit(3);
        }
    }
    ::close(pipeFds[1]);
    int64_t lastCommitted = 0;
    for (int n = 0; n < 40; ++n)
        ASSERT_EQ(::read(pipeFds[0], &lastCommitted, sizeof lastCommitted), ssize_t(sizeof lastCommitted));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(pipeFds[0]);
    ASSERT_TRUE(WIFSIGNALED(status));

    History h(path);
    ASSERT_TRUE(h.Open()) << h.LastError();
    EXPECT_TRUE(h.MovedAside().empty());
    EXPECT_GE(h.Count({}), lastCommitted);
    const std::vector<HistoryRecord> all = h.Query({}, 1000000);
    ASSERT_GE(all.size(), size_t(lastCommitted));
    // Ids 1..n without a gap, each with its whole row.
    for (size_t i = 0; i < all.size(); ++i) {
        const HistoryRecord& r = all[all.size() - 1 - i];
        EXPECT_EQ(r.id, int64_t(i + 1));
        EXPECT_EQ(r.target, "127.0.0.1:" + std::to_string(i));
        EXPECT_EQ(r.lines.size(), 7u);
    }
    h.Close();
    EXPECT_EQ(SqlText(path, "PRAGMA integrity_check"), "ok");
    HistoryRecord more = Row(5, "after", true);
    History again(path);
    EXPECT_TRUE(again.Append(more));
}

TEST(History, ADamagedFileIsMovedAsideAndANewOneStarted)
{
    struct Case {
        const char* name;
        std::string content;
    };
    std::string header16 = std::string("SQLite format 3") + '\0';
    const Case cases[] = {
        {"not a database", "this is no database, only text\n"},
        {"a database header over garbage", header16 + std::string(4096, '\x5a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.File("history.sqlite");
        std::ofstream(path, std::ios::binary) << c.content;
        History h(path);
        h.clock = [] { return UtcMsOf(2026, 12, 8, 23, 11, 50); };
        HistoryRecord r = Row(1, "127.0.0.1:2101", true);
        ASSERT_TRUE(h.Append(r)) << h.LastError();
        EXPECT_EQ(h.MovedAside(), path + ".damaged-20261208-231150");
        std::ifstream moved(h.MovedAside(), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(moved), {}), c.content);
        EXPECT_EQ(h.Count({}), 1);
    }
}
