#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/PylonConfig.h"
#include "model/PylonFile.h"
#include "model/SafeFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

int Temporaries(const std::string& folder)
{
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().rfind(".lmq~", 0) == 0) ++n;
    return n;
}

PylonConfig Named(const std::string& name, int entries)
{
    PylonConfig m;
    m.Prices[0].Name = name;
    for (int i = 0; i < entries; ++i) m.NetSettings.push_back({"P" + std::to_string(i), "10.0.0.1", 2101, true});
    return m;
}

std::string Encoded(const PylonConfig& m)
{
    FileHeader header;
    const auto bytes = PylonFile::Encode(m, header.Version);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// Whatever is not a regular file answers at once with the operation's error,
// and a save never replaces it.
TEST(SafeFile, NonRegularFilesAnswerAtOnceAndStayWhatTheyAre)
{
    TempDir dir;
    const std::string fifo = dir.File("pipe.lmqpyl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.File("folder.lmqpyl");
    fs::create_directory(folder);

    struct Case {
        const char* what;
        std::function<int(const std::string&)> run;
        int expected;
    };
    const std::vector<Case> operations = {
        {"open",
         [](const std::string& p) {
             PylonConfig m;
             FileHeader h;
             return m.LoadFromFile(p, h);
         },
         PylonFile::CannotOpen},
        {"save",
         [](const std::string& p) {
             PylonConfig m;
             FileHeader h;
             return m.SaveToFile(p, h);
         },
         PylonFile::CannotOpen},
        {"read",
         [](const std::string& p) {
             std::string s;
             return int(SafeFile::Read(p, s, 1 << 20));
         },
         int(SafeFile::Status::NotRegular)},
        {"write", [](const std::string& p) { return int(SafeFile::WriteAtomic(p, "x", 1)); },
         int(SafeFile::Status::NotRegular)},
    };
    for (const std::string& target : {fifo, std::string("/dev/null"), std::string("/dev/zero"), folder}) {
        struct stat before {};
        ASSERT_EQ(::stat(target.c_str(), &before), 0);
        for (const Case& op : operations) {
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(op.run(target), op.expected) << op.what << " " << target;
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100))
                << op.what << " " << target;
            struct stat after {};
            ASSERT_EQ(::stat(target.c_str(), &after), 0);
            EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << op.what << " " << target;
            EXPECT_EQ(after.st_ino, before.st_ino) << op.what << " " << target;
        }
    }
    EXPECT_EQ(Temporaries(dir.Path()), 0);
}

// Reading an endless or huge input holds no more than the cap: measured in a
// child process of its own.
TEST(SafeFile, HugeAndEndlessInputsCostLittleMemory)
{
    TempDir dir;
    const std::string sparse = dir.File("sparse.lmqpyl");
    {
        const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(2) << 30), 0);
        ::close(fd);
    }
    struct Case {
        std::string path;
        int expected;
    };
    for (const Case& c : {Case{sparse, PylonFile::NoMakerCode}, Case{"/dev/zero", PylonFile::CannotOpen}}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PylonConfig m(nullptr);
            FileHeader h;
            std::string text;
            const bool ok = m.LoadFromFile(c.path, h) == c.expected &&
                            SafeFile::Read(c.path, text, 4 << 20) != SafeFile::Status::Ok;
            struct rusage use {};
            ::getrusage(RUSAGE_SELF, &use);
            ::_exit(!ok ? 2 : use.ru_maxrss < 50 * 1024 ? 0 : 3);  // ru_maxrss is in KiB
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << c.path;
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.path << ": 2 = wrong result, 3 = over 50 MB";
    }
}

TEST(SafeFile, SaveThroughLinksReplacesTheTargetAndKeepsTheLinks)
{
    TempDir dir;
    fs::create_directory(dir.File("real"));
    struct Case {
        const char* link;
        const char* pointsTo;
        const char* target;  // what the save must write
    };
    const Case cases[] = {
        {"abs.lmqpyl", nullptr, "real/a.lmqpyl"},          // absolute link
        {"rel.lmqpyl", "real/b.lmqpyl", "real/b.lmqpyl"},  // relative to the link's folder
        {"dangling.lmqpyl", "real/new.lmqpyl", "real/new.lmqpyl"},
        {"chain.lmqpyl", "rel.lmqpyl", "real/b.lmqpyl"},  // a link to a link
    };
    std::ofstream(dir.File("real/a.lmqpyl")) << "old";
    std::ofstream(dir.File("real/b.lmqpyl")) << "old";
    ::chmod(dir.File("real/b.lmqpyl").c_str(), 0640);
    for (const Case& c : cases) {
        const std::string to = c.pointsTo ? c.pointsTo : dir.File(c.target);
        fs::create_symlink(to, dir.File(c.link));
    }
    for (const Case& c : cases) {
        const PylonConfig m = Named(c.link, 1);
        FileHeader h;
        ASSERT_EQ(m.SaveToFile(dir.File(c.link), h), 0) << c.link;
        EXPECT_TRUE(fs::is_symlink(dir.File(c.link))) << c.link;
        EXPECT_EQ(ReadAll(dir.File(c.target)), Encoded(m)) << c.link;
    }
    EXPECT_EQ(fs::status(dir.File("real/b.lmqpyl")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Temporaries(dir.File("real")), 0);
}

TEST(SafeFile, NamesUpToTheSystemLimitSave)
{
    TempDir dir;
    const long limit = ::pathconf(dir.Path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(limit, 8);
    for (long length : {limit - 6, limit}) {
        const std::string path = dir.File(std::string(size_t(length) - 7, 'n') + ".lmqpyl");
        const PylonConfig m = Named("long", 0);
        FileHeader h;
        EXPECT_EQ(m.SaveToFile(path, h), 0) << length;
        PylonConfig back;
        EXPECT_EQ(back.LoadFromFile(path, h), 0) << length;
    }
}

// A running write holds its temporary file; only an abandoned one is removed.
TEST(SafeFile, OnlyAbandonedTemporariesAreRemoved)
{
    TempDir dir;
    const std::string target = dir.File("t.lmqpyl");
    const std::string held = dir.File(SafeFile::TempPrefix(target) + "held");
    const std::string left = dir.File(SafeFile::TempPrefix(target) + "left");
    const std::string other = dir.File(SafeFile::TempPrefix(dir.File("u.lmqpyl")) + "other");
    for (const auto& p : {held, left, other}) std::ofstream(p) << "x";
    const int fd = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(SafeFile::WriteAtomic(target, "new", 3), SafeFile::Status::Ok);
    ::close(fd);
    EXPECT_TRUE(fs::exists(held));
    EXPECT_FALSE(fs::exists(left));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_LE(SafeFile::TempPrefix(target).size(), 24u);
}

// A save killed at any moment leaves the old file or the new one, whole, and
// at most one temporary file, which the next save removes.
TEST(SafeFile, KillDuringSavesNeverDamagesTheTarget)
{
    TempDir dir;
    const std::string path = dir.File("kill.lmqpyl");
    const PylonConfig small = Named("small", 0), large = Named("large", 300);
    const std::string a = Encoded(small), b = Encoded(large);
    FileHeader h;
    ASSERT_EQ(small.SaveToFile(path, h), 0);
    std::mt19937 random(12345);
    int maxLeft = 0;
    for (int round = 0; round < 200; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileHeader header;
            for (int i = 0;; ++i) (i % 2 ? small : large).SaveToFile(path, header);
        }
        ::usleep(useconds_t(random() % 3000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadAll(path);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
        maxLeft = std::max(maxLeft, Temporaries(dir.Path()));
    }
    EXPECT_LE(maxLeft, 1);
    ASSERT_EQ(small.SaveToFile(path, h), 0);
    EXPECT_EQ(Temporaries(dir.Path()), 0);
}
