// The library file as its callers and the toolchain see it: its dynamic
// symbols, its version note and the Qt it needs.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string Output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        const int status = pclose(pipe);
        EXPECT_EQ(status, 0) << command << "\n" << out;
    } else {
        ADD_FAILURE() << "cannot run " << command;
    }
    return out;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

TEST(LibraryFile, ExportsExactlyTheTwoFunctions)
{
    // What the linker may add by itself beside the library's own exports.
    const std::set<std::string> toolchain{"_init", "_fini", "_edata", "_end", "__bss_start"};
    std::istringstream lines(Output(NM_PROGRAM " -D --defined-only " + Quoted(LMQT_LNGS_FILE)));
    std::set<std::string> functions, others;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (!(fields >> address >> type >> name)) continue;
        if (type == "A" || toolchain.count(name)) continue;  // version nodes, start-up code
        (type == "T" ? functions : others).insert(name);
    }
    EXPECT_EQ(functions, (std::set<std::string>{"ZaladujJezyk", "ZaladujMSG"}));
    EXPECT_TRUE(others.empty()) << "also exported: " << *others.begin();
}

TEST(LibraryFile, CarriesItsVersionAndDescriptionInANote)
{
    const std::string notes = Output(READELF_PROGRAM " -W -n " + Quoted(LMQT_LNGS_FILE));
    const size_t owner = notes.find("Lumarq");
    ASSERT_NE(owner, std::string::npos) << notes;
    const std::string marker = "description data:";
    const size_t data = notes.find(marker, owner);
    ASSERT_NE(data, std::string::npos) << notes;

    const size_t from = data + marker.size();
    std::istringstream hex(notes.substr(from, notes.find('\n', from) - from));
    std::string bytes;
    for (std::string byte; hex >> byte;) bytes += char(std::stoi(byte, nullptr, 16));
    const std::string expected =
        std::string("FileVersion=1.2.1.0") + '\0' + "FileDescription=Obs\xC5\x82uga wielu j\xC4\x99zyk\xC3\xB3w" + '\0';
    EXPECT_EQ(bytes, expected);
}

TEST(LibraryFile, UsesTheCallersQtRatherThanACopy)
{
    const std::string dynamic = Output(READELF_PROGRAM " -W -d " + Quoted(LMQT_LNGS_FILE));
    EXPECT_NE(dynamic.find("[libQt6Widgets.so.6]"), std::string::npos) << dynamic;
    EXPECT_NE(dynamic.find("[libQt6Core.so.6]"), std::string::npos) << dynamic;
    EXPECT_NE(dynamic.find("Library soname: [liblmqt_lngs.so.1]"), std::string::npos) << dynamic;
}
