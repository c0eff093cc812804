// The core's log: what the link, the configuration file and the per-user
// store report, at which level, and that the bytes on the wire are only
// formatted when asked for.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comm/SerialPortError.h"
#include "comm/Frames.h"
#include "comm/PylonLink.h"
#include "comm/SerialPort.h"
#include "emulator/PylonEmulator.h"
#include "log/Log.h"
#include "model/FileHeader.h"
#include "model/PylonConfig.h"
#include "model/RegFileStore.h"
#include "support/TempDir.h"

namespace {

struct Line {
    Log::Category category;
    Log::Level level;
    std::string text;
};

std::vector<Line> lines;
bool debugWanted = false;

const Log::Sink Recorder{[](Log::Category, Log::Level level) { return level != Log::Level::Debug || debugWanted; },
                         [](Log::Category c, Log::Level l, std::string_view text) {
                             lines.push_back({c, l, std::string(text)});
                         }};

class LogLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        lines.clear();
        debugWanted = false;
        previous_ = Log::SetSink(&Recorder);
    }
    void TearDown() override { Log::SetSink(previous_); }

    // The one line that contains `part`, which must exist exactly once.
    static Line Only(const std::string& part)
    {
        std::vector<Line> found;
        for (const Line& l : lines)
            if (l.text.find(part) != std::string::npos) found.push_back(l);
        EXPECT_EQ(found.size(), 1u) << part;
        return found.empty() ? Line{Log::Category::File, Log::Level::Debug, ""} : found.front();
    }
    static bool AnyAt(Log::Level level)
    {
        for (const Line& l : lines)
            if (l.level == level) return true;
        return false;
    }

private:
    const Log::Sink* previous_ = nullptr;
};

TEST(LogHex, TwoDigitsPerByteBetweenBlanks)
{
    const uint8_t bytes[] = {0x4B, 0x0A, 0xFF};
    EXPECT_EQ(Log::Hex(bytes, 0), "");
    EXPECT_EQ(Log::Hex(bytes, 1), "4B");
    EXPECT_EQ(Log::Hex(bytes, 3), "4B 0A FF");
}

TEST_F(LogLines, TheLinkReportsConnectionsRepliesAndOnRequestTheBytes)
{
    struct Case {
        PylonEmulator::Step reply;
        bool debug;
        Log::Level replyLevel;
        const char* replyLine;
    };
    const Case cases[] = {
        {PylonEmulator::Step::Normal(), false, Log::Level::Info, "reply 170: OK"},
        {PylonEmulator::Step::Reply(0xCC), false, Log::Level::Warning, "reply 204: CRC error"},
        {PylonEmulator::Step::ReplyBytes(0xAA, 0x01), false, Log::Level::Warning, "reply 0: unequal reply bytes"},
        {PylonEmulator::Step::Normal(), true, Log::Level::Info, "reply 170: OK"},
    };
    for (const Case& c : cases) {
        lines.clear();
        debugWanted = c.debug;
        PylonEmulator emu;
        const uint16_t port = emu.ListenTcp(0);
        emu.Script({c.reply});
        PylonLink link("127.0.0.1", port);
        link.command = 20;
        ASSERT_EQ(link.Connect(), 0);
        link.SendHeader();
        link.ReadReply();
        const std::string target = "connected to 127.0.0.1 port " + std::to_string(port);
        EXPECT_EQ(Only(target).level, Log::Level::Info);
        const Line reply = Only(c.replyLine);
        EXPECT_EQ(reply.level, c.replyLevel) << c.replyLine;
        EXPECT_EQ(reply.category, Log::Category::Comm);
        EXPECT_EQ(AnyAt(Log::Level::Debug), c.debug);
        if (c.debug) {
            EXPECT_EQ(Only("sent ").text, "sent 4B 64 34 14");
            EXPECT_EQ(Only("received ").text, "received AA AA");
        }
    }
}

TEST_F(LogLines, AFailedConnectionIsAWarningNamingTheTarget)
{
    PylonLink link("127.0.0.1", 0);
    EXPECT_NE(link.Connect(), 0);
    const Line l = Only("cannot connect to 127.0.0.1 port 0");
    EXPECT_EQ(l.level, Log::Level::Warning);
    EXPECT_EQ(l.category, Log::Category::Comm);
}

TEST_F(LogLines, TheSerialPortReportsOpenCloseShortReadsAndOnRequestTheBytes)
{
    debugWanted = true;
    PylonEmulator emu;
    emu.Script({PylonEmulator::Step::Silence()});
    const std::string name = emu.OpenPty();
    SerialPort port;
    port.timeouts.readInterval = 50;
    port.timeouts.readTotalPerByte = 10;
    port.timeouts.readTotalConstant = 50;
    port.SetPort(name);
    port.Open();
    const auto header = Frames::MakeHeader(20);
    port.Write(header.data(), 4);
    uint8_t reply[2];
    EXPECT_EQ(port.Read(reply, 2), 0);
    port.Close();
    EXPECT_EQ(Only("opened serial port").text, "opened serial port /dev/" + name + " at 9600 baud");
    EXPECT_EQ(Only("sent ").text, "sent 4B 64 34 14");
    EXPECT_EQ(Only("serial read").level, Log::Level::Warning);
    EXPECT_EQ(Only("closed serial port").text, "closed serial port /dev/" + name);

    lines.clear();
    SerialPort missing;
    missing.SetPort("ttyLMQ-no-such-port");
    EXPECT_THROW(missing.Open(), SerialPortError);
    EXPECT_EQ(Only("cannot open serial port /dev/ttyLMQ-no-such-port").level, Log::Level::Warning);
}

TEST_F(LogLines, EveryOpenAndSaveOfAConfigurationFileIsReportedWithItsResult)
{
    TempDir dir;
    const std::string good = dir.File("good.lmqpyl"), junk = dir.File("junk.lmqpyl");
    std::ofstream(junk) << "not a configuration";
    PylonConfig model;
    FileHeader header;
    struct Case {
        std::string expected;
        Log::Level level;
        int (*run)(PylonConfig&, FileHeader&, const std::string&);
        std::string file;
    };
    auto save = [](PylonConfig& m, FileHeader& h, const std::string& f) { return m.SaveToFile(f, h); };
    auto load = [](PylonConfig& m, FileHeader& h, const std::string& f) { return m.LoadFromFile(f, h); };
    const Case cases[] = {
        {"save " + good + ": 0 (OK)", Log::Level::Info, save, good},
        {"open " + good + ": 0 (OK)", Log::Level::Info, load, good},
        {"open " + junk + ": 1 (no maker code)", Log::Level::Warning, load, junk},
        {"save " + dir.File("no/such/folder.lmqpyl") + ": 100 (cannot open)", Log::Level::Warning, save,
         dir.File("no/such/folder.lmqpyl")},
    };
    for (const Case& c : cases) {
        lines.clear();
        c.run(model, header, c.file);
        ASSERT_EQ(lines.size(), 1u) << c.expected;
        EXPECT_EQ(lines[0].text, c.expected);
        EXPECT_EQ(lines[0].level, c.level) << c.expected;
        EXPECT_EQ(lines[0].category, Log::Category::File);
    }
}

TEST_F(LogLines, TheStoreReportsAFileItCannotReadOrWrite)
{
    TempDir dir;
    const std::string damaged = dir.File("damaged.reg");
    std::ofstream(damaged) << "\x01\x02 this is no registry export";
    {
        RegFileStore store(damaged);
    }
    EXPECT_EQ(Only("cannot read the store " + damaged).category, Log::Category::Store);

    lines.clear();
    std::ofstream(damaged) << "x";                         // the damaged one was moved aside
    const std::string underAFile = damaged + "/user.reg";  // a folder that is a file
    RegFileStore store(underAFile);
    EXPECT_TRUE(lines.empty()) << "a missing file is no problem";
    store.CreateKey("Config");
    store.WriteValue("Config", "LangId", RegValue::String("EN"));
    EXPECT_FALSE(store.Commit());
    const Line l = Only("cannot write the store " + underAFile);
    EXPECT_EQ(l.level, Log::Level::Warning);
    EXPECT_EQ(l.category, Log::Category::Store);
}

}  // namespace
