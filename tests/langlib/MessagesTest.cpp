// ZaladujMSG into the caller's string variables, through dlopen.
#include <QString>

#include <array>
#include <filesystem>

#include "LibraryHost.h"

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Five caller variables with marks that show whether they were written.
struct Targets {
    std::array<QString, 5> value{Q("v0"), Q("v1"), Q("v2"), Q("v3"), Q("v4")};
    std::array<QString*, 5> pointers{&value[0], &value[1], &value[2], &value[3], &value[4]};
    bool Untouched() const
    {
        for (int i = 0; i < 5; ++i)
            if (value[i] != QStringLiteral("v%1").arg(i)) return false;
        return true;
    }
};

}  // namespace

using Messages = LibraryHost;

TEST_F(Messages, NumberedValuesAreDeliveredAsTheyStand)
{
    Targets t;
    const std::string path = WriteFile("[FLumarqPylon]\n0=not a message\n"
                                       "[msg]\n"
                                       "0=* Undefined network settings\n"
                                       "1=Tab\\there\n"
                                       "2=Line\\r\\nbreak\\n\n"
                                       "3=key=value \n"
                                       "5=beyond count\n");
    msg_(0, path.c_str(), t.pointers.data(), 5);

    EXPECT_EQ(t.value[0], Q("* Undefined network settings"));
    EXPECT_EQ(t.value[1], Q("Tab\\there"));
    EXPECT_EQ(t.value[2], Q("Line\\r\\nbreak\\n"));
    EXPECT_EQ(t.value[3], Q("key=value "));
    EXPECT_EQ(t.value[4], Q("v4"));  // no key 4: left as it was
}

TEST_F(Messages, CountLimitsTheTargetsAndNullEntriesAreSkipped)
{
    Targets t;
    const std::string path = WriteFile("[MSG]\n0=zero\n1=one\n2=two\n3=three\n");
    t.pointers[1] = nullptr;
    msg_(0, path.c_str(), t.pointers.data(), 3);
    EXPECT_EQ(t.value[0], Q("zero"));
    EXPECT_EQ(t.value[1], Q("v1"));
    EXPECT_EQ(t.value[2], Q("two"));
    EXPECT_EQ(t.value[3], Q("v3"));
}

TEST_F(Messages, NoCountNoSectionOrNoFileChangesNothing)
{
    Targets t;
    const std::string full = WriteFile("[MSG]\n0=zero\n1=one\n", "full.ini");
    const std::string noMsg = WriteFile("[FLumarqPylon]\n0=zero\nCLabel1=x\n", "nomsg.ini");
    std::filesystem::create_directory(dir_.File("folder"));

    msg_(0, full.c_str(), t.pointers.data(), 0);
    msg_(0, full.c_str(), t.pointers.data(), -3);
    msg_(0, full.c_str(), nullptr, 2);
    msg_(0, noMsg.c_str(), t.pointers.data(), 5);
    msg_(0, dir_.File("missing.ini").c_str(), t.pointers.data(), 5);
    msg_(0, dir_.File("folder").c_str(), t.pointers.data(), 5);
    msg_(0, nullptr, t.pointers.data(), 5);
    EXPECT_TRUE(t.Untouched());
}

TEST_F(Messages, UnreadableFileThrowsAndChangesNothing)
{
    Targets t;
    EXPECT_THROW(msg_(0, "/proc/self/mem", t.pointers.data(), 5), std::runtime_error);
    EXPECT_TRUE(t.Untouched());
}

TEST_F(Messages, EachCallReadsTheFileAfresh)
{
    Targets t;
    const std::string path = WriteFile("[MSG]\n0=first\n");
    msg_(0, path.c_str(), t.pointers.data(), 1);
    WriteFile("[MSG]\n0=Második üzenet\n");
    msg_(0, path.c_str(), t.pointers.data(), 1);
    EXPECT_EQ(t.value[0], Q("Második üzenet"));
}

// The library is a plug-in: not linked, loaded and unloaded at run time. What
// it handed to the caller stays valid after it is gone.
TEST(LibraryLifecycle, LoadsAtRunTimeAndItsTextsOutliveTheLibrary)
{
    ASSERT_EQ(dlsym(RTLD_DEFAULT, "ZaladujMSG"), nullptr) << "the host must not link the library";
    TempDir dir;
    const std::string path = dir.File("lang.ini");
    std::ofstream(path, std::ios::binary) << "[MSG]\n0=Obsługa\n";

    QString kept;
    for (int round = 0; round < 2; ++round) {
        void* handle = dlopen(LMQT_LNGS_FILE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        auto load = reinterpret_cast<ZaladujMSGFn>(dlsym(handle, "ZaladujMSG"));
        ASSERT_NE(load, nullptr);
        QString target;
        QString* targets[] = {&target};
        load(0, path.c_str(), targets, 1);
        ASSERT_EQ(dlclose(handle), 0);
        EXPECT_EQ(dlopen(LMQT_LNGS_FILE, RTLD_NOW | RTLD_NOLOAD), nullptr) << "library still loaded";
        EXPECT_EQ(target, Q("Obsługa"));
        kept = target;
    }
    EXPECT_EQ(kept.size(), 7);
}
