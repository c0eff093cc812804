#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

#include "model/PylonConfig.h"
#include "model/PylonFile.h"
#include "support/TempDir.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

PylonConfig Sample()
{
    PylonConfig m;
    for (int i = 0; i < 7; ++i) {
        m.Prices[i].Name = "Line" + std::to_string(i);
        for (int j = 0; j < 6; ++j) m.Prices[i].Price[j] = uint8_t((i + j) % 10);
        m.Prices[i].Conf = {uint8_t(i & 1), uint8_t(i == 3), uint8_t(i % 6), 1, uint8_t(i == 5)};
    }
    m.NetSettings = {{"North", "192.168.0.11", 2101, true}, {"South", "10.1.2.3", 70000, false}};
    m.Conf = {90, 80, 70, 25};
    m.DOMS = true;
    m.UseCOM = true;
    m.ComName = "ttyUSB0";
    m.ComSpeed = 5;
    m.UseGamma = true;
    return m;
}

}  // namespace

TEST(PylonFile, LayoutAndSizes)
{
    PylonConfig empty;
    const auto base = PylonFile::Encode(empty, 3);
    ASSERT_EQ(base.size(), 272u);
    EXPECT_EQ(std::string(base.begin(), base.begin() + 13), "LMQT-KD4M-SAV");
    EXPECT_EQ(base[13], 3);
    EXPECT_EQ(base[17], 0x10);  // 272 little-endian
    EXPECT_EQ(base[18], 0x01);
    EXPECT_EQ((std::vector<uint8_t>(base.begin() + 21, base.begin() + 25)), (std::vector<uint8_t>{1, 1, 1, 1}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&base[25])), "Nazwa 1");

    PylonConfig m = Sample();
    const auto b = PylonFile::Encode(m, 3);
    ASSERT_EQ(b.size(), 272u + 2 * 38);
    EXPECT_EQ(b[207], 2);
    // Second entry: port 70000 keeps its low 16 bits (0x1170), inactive.
    const size_t e2 = 209 + 38;
    EXPECT_EQ(b[e2 + 35], 0x70);
    EXPECT_EQ(b[e2 + 36], 0x11);
    EXPECT_EQ(b[e2 + 37], 0);
    // Line flags in file order: point, blinking, dash, off, zeros (line 4).
    const size_t f4 = 209 + 2 * 38 + 3 * 5;
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + f4, b.begin() + f4 + 5)), (std::vector<uint8_t>{3, 1, 0, 1, 1}));
    EXPECT_EQ(b.back(), 1);         // UseGamma
    EXPECT_EQ(b[b.size() - 2], 5);  // ComSpeed
}

TEST(PylonFile, SaveAndOpenRoundTrip)
{
    TempDir dir;
    FileHeader header;
    PylonConfig m = Sample();
    m.Prices[2].Name = std::string(20, 'N');  // fills its field: no terminating zero
    ASSERT_EQ(m.SaveToFile(dir.File("a.lmqpyl"), header), 0);
    EXPECT_EQ(header.LengthPos, 17);
    EXPECT_EQ(header.Length, 272 + 76);

    PylonConfig back;
    back.UseGamma = false;
    FileHeader h2;
    ASSERT_EQ(back.LoadFromFile(dir.File("a.lmqpyl"), h2), 0);
    EXPECT_EQ(h2.Length, 272 + 76);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(h2.Code.data())), "KD4M");
    m.NetSettings[1].Port = 70000 & 0xFFFF;
    m.FontConf = back.FontConf;  // not stored in files
    EXPECT_TRUE(back.SameFields(m));
    EXPECT_TRUE(back.UseGamma);  // restored from the last byte
}

TEST(PylonFile, FontBlockIsNotStored)
{
    TempDir dir;
    FileHeader header;
    PylonConfig m;
    m.FontConf = {7, 2};
    ASSERT_EQ(m.SaveToFile(dir.File("f.lmqpyl"), header), 0);
    PylonConfig back;
    ASSERT_EQ(back.LoadFromFile(dir.File("f.lmqpyl"), header), 0);
    EXPECT_EQ(back.FontConf, (FontSettings{3, 0}));
}

TEST(PylonFile, EveryTruncationIsRefusedAndChangesNothing)
{
    const auto full = PylonFile::Encode(Sample(), 3);
    for (size_t len = 0; len < full.size(); ++len) {
        PylonConfig m;
        const PylonConfig before(m);
        FileHeader header;
        const int r = PylonFile::Decode(full.data(), len, m, header);
        int expected = len < 5 ? 1 : len < 10 ? 2 : len < 13 ? 3 : len < 17 ? 4 : 5;
        EXPECT_EQ(r, expected) << "length " << len;
        EXPECT_EQ(header.Length, int32_t(len));
        EXPECT_TRUE(m.SameFields(before)) << "length " << len;
    }
}

TEST(PylonFile, EveryFlippedHeaderByteGivesItsCode)
{
    const auto full = PylonFile::Encode(Sample(), 3);
    for (size_t i = 0; i < PylonFile::HeaderSize; ++i) {
        for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
            auto bad = full;
            bad[i] ^= flip;
            PylonConfig m;
            const PylonConfig before(m);
            FileHeader header;
            const int r = PylonFile::Decode(bad.data(), bad.size(), m, header);
            int expected;
            if (i < 5) expected = 1;
            else if (i < 10) expected = 2;
            else if (i < 13) expected = 3;
            else if (i < 17)
                expected = int32_t(bad[13] | bad[14] << 8 | bad[15] << 16 | uint32_t(bad[16]) << 24) > 3 ? 4 : 0;
            else if (i < 21) expected = 5;
            else expected = 6;
            EXPECT_EQ(r, expected) << "byte " << i << " flip " << int(flip);
            if (r != 0) {
                EXPECT_TRUE(m.SameFields(before));
            }
        }
    }
}

TEST(PylonFile, VersionIsCheckedBeforeLengthAndOlderVersionsOpen)
{
    auto b = PylonFile::Encode(Sample(), 3);
    b.pop_back();  // wrong length as well
    b[13] = 4;
    PylonConfig m;
    FileHeader header;
    EXPECT_EQ(PylonFile::Decode(b.data(), b.size(), m, header), 4);
    auto ok = PylonFile::Encode(Sample(), 2);
    EXPECT_EQ(PylonFile::Decode(ok.data(), ok.size(), m, header), 0);
}

TEST(PylonFile, MarkerZeroIsUnfinished)
{
    auto b = PylonFile::Encode(Sample(), 3);
    std::fill(b.begin() + 21, b.begin() + 25, 0);
    PylonConfig m;
    FileHeader header;
    EXPECT_EQ(PylonFile::Decode(b.data(), b.size(), m, header), 6);
}

TEST(PylonFile, BodyShorterThanItsSectionsIsRefused)
{
    // A length field that matches the size but a count promising more entries.
    auto b = PylonFile::Encode(Sample(), 3);
    b[207] = 9;
    PylonConfig m;
    const PylonConfig before(m);
    FileHeader header;
    EXPECT_EQ(PylonFile::Decode(b.data(), b.size(), m, header), 5);
    EXPECT_TRUE(m.SameFields(before));
    // A negative count reads as an empty list.
    auto n = PylonFile::Encode(PylonConfig(), 3);
    n[207] = 0xFF;
    n[208] = 0xFF;
    PylonConfig m2 = Sample();
    EXPECT_EQ(PylonFile::Decode(n.data(), n.size(), m2, header), 0);
    EXPECT_TRUE(m2.NetSettings.empty());
}

TEST(PylonFile, OpenFailures)
{
    TempDir dir;
    PylonConfig m;
    FileHeader header;
    EXPECT_EQ(m.LoadFromFile(dir.File("missing.lmqpyl"), header), 100);
    EXPECT_EQ(m.LoadFromFile(dir.Path(), header), 100);
    EXPECT_EQ(m.SaveToFile(dir.File("no/such/folder.lmqpyl"), header), 100);
}

TEST(PylonFile, FailedSaveKeepsThePreviousFile)
{
    TempDir dir;
    const std::string path = dir.File("keep.lmqpyl");
    FileHeader header;
    PylonConfig first;
    ASSERT_EQ(first.SaveToFile(path, header), 0);
    const auto before = ReadBytes(path);

    // Writes beyond 100 bytes fail with EFBIG.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    PylonConfig second = Sample();
    const int r = second.SaveToFile(path, header);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(r, 200);
    EXPECT_EQ(ReadBytes(path), before);
    // No temporary file is left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}
