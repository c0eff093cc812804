// The send history window: its texts, the filters and what they show, the
// rows fetched as the list scrolls, the selected record, and the exported bytes.
#include <fstream>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include "history/History.h"
#include "support/TempDir.h"
#include "ui/common/FileDialogs.h"
#include "ui/history/HistoryTableModel.h"
#include "ui/history/SendHistoryWindow.h"
#include "ui/lang/MessageBoxes.h"
#include "ui/lang/LanguageChanger.h"
#include "support/Child.h"

namespace {

class ScriptedDialogs : public FileDialogs {
public:
    std::optional<QString> answer;
    QList<FileDialogRequest> asked;
    std::optional<QString> AskOpen(QWidget*, const FileDialogRequest&) override { return {}; }
    std::optional<QString> AskSave(QWidget*, const FileDialogRequest& r) override
    {
        asked << r;
        return answer;
    }
};

HistoryRecord Row(int64_t utcMs, const std::string& pylon, const std::string& target, bool ok)
{
    HistoryRecord r;
    r.utcMs = utcMs;
    r.user = "op";
    r.host = "station";
    r.program = "LumarqPylon";
    r.version = "2.17";
    r.action = "send";
    r.pylon = pylon;
    r.target = target;
    r.ok = ok;
    r.lines = {{"ON", "6.49", ""}, {"PB 95", "5.99", "blinking"}};
    r.steps = {{"connect", 0, ""}};
    return r;
}

QString Cell(const QAbstractItemModel* m, int row, int column) { return m->index(row, column).data().toString(); }

std::string FileBytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class HistoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(language.LoadLanguage(QStringLiteral("EN")));
        const int64_t day = UtcMsOf(2026, 12, 8, 12);
        // 250 good sends to the north pylon over 250 days back, two failures to the south one.
        std::vector<HistoryRecord> north;
        for (int i = 0; i < 250; ++i) north.push_back(Row(day - int64_t(i) * 86400000, "North", "10.0.0.1:2101", true));
        ASSERT_TRUE(history.AppendAll(north));
        HistoryRecord south1 = Row(day + 1000, "South", "10.0.0.2:2101", false);
        HistoryRecord south2 = Row(day - 3 * 86400000 + 1000, "", "ttyS0 9600", false);
        south2.action = "test";
        south2.detail = "test 1";
        ASSERT_TRUE(history.Append(south1));
        ASSERT_TRUE(history.Append(south2));
    }

    TempDir dir;
    History history{dir.File("history.sqlite")};
    LanguageChanger language{QString()};
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(HistoryWindowTest, ListsNewestFirstFetchesAsItScrollsAndFilters)
{
    SendHistoryWindow w(nullptr, language, history, dialogs);
    EXPECT_EQ(w.objectName(), "FSendHistory");
    EXPECT_EQ(w.windowTitle(), "Send history");
    EXPECT_EQ(Child<QPushButton>(w, "BExport")->text(), "Export CSV...");
    QStringList headings;
    for (int c = 0; c < w.Model()->columnCount(); ++c) headings << w.Model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings, QStringList({"Time", "Pylon", "Action", "Result", "Prices"}));

    // Only what the list needs is fetched; the count covers everything.
    QAbstractItemModel* m = w.Model();
    EXPECT_EQ(Child<QLabel>(w, "LCount")->text(), "Records: 252");
    EXPECT_EQ(m->rowCount(), HistoryTableModel::PageSize);
    while (m->canFetchMore({})) m->fetchMore({});
    EXPECT_EQ(m->rowCount(), 252);
    EXPECT_EQ(Cell(m, 0, 1), "South (10.0.0.2:2101)");
    EXPECT_EQ(Cell(m, 0, 3), "Failed");
    EXPECT_EQ(Cell(m, 0, 4), "6.49 | 5.99");
    EXPECT_EQ(Cell(m, 1, 1), "North (10.0.0.1:2101)");
    EXPECT_EQ(Cell(m, 1, 2), "Send");
    EXPECT_EQ(Cell(m, 1, 3), "Succeeded");

    struct Case {
        const char* name;
        int pylon;   // index in the pylon list: 0 all, then the targets in order
        int result;  // 0 all, 1 succeeded, 2 failed
        QDate from, to;
        int total;
        QString firstPylon, firstAction;
    };
    const QDate d(2026, 12, 8);
    const Case cases[] = {
        {"the south pylon", 2, 0, {}, {}, 1, "South (10.0.0.2:2101)", "Send"},
        {"failures", 0, 2, {}, {}, 2, "South (10.0.0.2:2101)", "Send"},
        {"the serial line", 3, 0, {}, {}, 1, "ttyS0 9600", "Display test"},
        {"the last five days", 0, 0, d.addDays(-4), d, 7, "South (10.0.0.2:2101)", "Send"},
        {"failures of the last five days but today", 0, 2, d.addDays(-4), d.addDays(-1), 1, "ttyS0 9600",
         "Display test"},
        {"the north pylon's successes", 1, 1, {}, {}, 250, "North (10.0.0.1:2101)", "Send"},
    };
    ASSERT_EQ(Child<QComboBox>(w, "CBPylon")->count(), 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Child<QComboBox>(w, "CBPylon")->setCurrentIndex(c.pylon);
        Child<QComboBox>(w, "CBResult")->setCurrentIndex(c.result);
        Child<QCheckBox>(w, "CBDateRange")->setChecked(c.from.isValid());
        if (c.from.isValid()) {
            Child<QDateEdit>(w, "DTPFrom")->setDate(c.from);
            Child<QDateEdit>(w, "DTPTo")->setDate(c.to);
        }
        EXPECT_EQ(w.Model()->Total(), c.total);
        EXPECT_EQ(Child<QLabel>(w, "LCount")->text(), QStringLiteral("Records: %1").arg(c.total));
        ASSERT_GT(m->rowCount(), 0);
        EXPECT_EQ(Cell(m, 0, 1), c.firstPylon);
        EXPECT_EQ(Cell(m, 0, 2), c.firstAction);
    }

    // The selected row's whole record.
    Child<QTableView>(w, "LVHistory")->setCurrentIndex(m->index(0, 0));
    EXPECT_TRUE(Child<QPlainTextEdit>(w, "MRecord")->toPlainText().contains("Target: 10.0.0.1:2101\n"));
    EXPECT_TRUE(Child<QPlainTextEdit>(w, "MRecord")->toPlainText().contains("Line 2: PB 95  5.99  (blinking)\n"));
}

TEST_F(HistoryWindowTest, ExportsTheShownRecordsAsCsvThroughTheFileDialog)
{
    SendHistoryWindow w(nullptr, language, history, dialogs);
    Child<QComboBox>(w, "CBResult")->setCurrentIndex(2);
    Child<QComboBox>(w, "CBPylon")->setCurrentIndex(3);
    dialogs.answer = QString::fromStdString(dir.File("out.csv"));
    Child<QPushButton>(w, "BExport")->click();

    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].title, "Export send history");
    EXPECT_EQ(dialogs.asked[0].filters, QStringList({"CSV files (*.csv)"}));
    EXPECT_EQ(dialogs.asked[0].fileName, "history.csv");
    EXPECT_EQ(dialogs.asked[0].defaultSuffix, "csv");
    EXPECT_TRUE(dialogs.asked[0].confirmOverwrite);
    EXPECT_EQ(FileBytes(*dialogs.answer),
              History::CsvHeader() +
                  "\r\n252,2026-12-05T12:00:01.000Z,+00:00,op,station,LumarqPylon,2.17,test,,ttyS0 9600,failed,"
                  "\"1: ON 6.49\r\n2: PB 95 5.99 (blinking)\",,,,test 1,connect: 0,,,0\r\n");

    // Cancelled: nothing written; a file that cannot be written: the box says so.
    dialogs.answer.reset();
    Child<QPushButton>(w, "BExport")->click();
    QList<MessageBoxCall> boxes;
    MessageBoxSeam seam([&](const MessageBoxCall& call) { boxes << call; });
    EXPECT_TRUE(boxes.isEmpty());
    dialogs.answer = QString::fromStdString(dir.File("no/such/folder/out.csv"));
    Child<QPushButton>(w, "BExport")->click();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, "The file could not be written");
}
