#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

#include "app/launch.h"
#include "app/shared.h"
#include "app/startup.h"
#include "sys/files.h"

namespace fs = std::filesystem;

TEST(ProjectWord, KindsAndNamesForEveryIde) {
    struct Case {
        std::optional<std::string> word;
        const char* ide;
        const char* name;
        int kind;
        bool known;
    };
    const Case cases[] = {
        {std::nullopt, "vs", "", app::kVisualStudioNoProject, true},
        {std::nullopt, "ca", "", app::kCarbideNoProject, true},
        {std::nullopt, "ec", "", app::kEclipseNoProject, true},
        {std::nullopt, "uv", "", app::kUVisionNoProject, true},
        {std::nullopt, "cw", "", app::kUnknownIde, false},
        {std::nullopt, "xx", "", app::kUnknownIde, false},
        {"\"\"", "cw", "", app::kCodeWarriorNoProject, true},
        {"\"\"", "vs", "", app::kUnknownIde, false},
        {"\"\"tail", "cw", "", app::kCodeWarriorNoProject, true},
        {"Demo", "vs", "Demo", app::kVisualStudio, true},
        {"\"Demo\"", "cw", "Demo", app::kCodeWarrior, true},
        {"\"Demo", "ca", "Demo", app::kCarbide, true},
        {"Demo\"", "ec", "Demo", app::kEclipse, true},
        {"\"Demo\"\"", "uv", "Demo\"", app::kUVision, true},
        {"De\"mo", "vs", "De\"mo", app::kVisualStudio, true},
        {"\"", "vs", "", app::kVisualStudio, true},
        {"Demo", "VS", "Demo", app::kUnknownIde, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ide) + " " + c.word.value_or("<none>"));
        app::ProjectWord p = app::readProjectWord(c.word, c.ide);
        EXPECT_EQ(p.projectName, c.name);
        EXPECT_EQ(p.ideKind, c.kind);
        EXPECT_EQ(p.known, c.known);
    }
}

TEST(ProjectWord, UnknownKindIsNoKnownIdeForTheDialogs) {
    app::ProjectWord p = app::readProjectWord(std::nullopt, "cw");
    EXPECT_FALSE(app::isUVision(p.ideKind));
    EXPECT_TRUE(p.ideKind < 0 || p.ideKind > 9);
}

TEST(DirectoryText, EachDialogShortensBeyondItsOwnLimit) {
    // a text whose every byte tells where it came from
    const auto text = [](std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('!' + i % 90);
        return s;
    };
    const std::string d48 = text(48), d49 = text(49);
    EXPECT_EQ(app::setDialogDirectory(d48), d48);
    EXPECT_EQ(app::setDialogDirectory(d49), d49.substr(0, 10) + "..." + d49.substr(49 - 35));
    EXPECT_EQ(app::setDialogDirectory(d49).size(), 48u);

    const std::string d58 = text(58), d59 = text(59), d300 = text(300);
    EXPECT_EQ(app::reportDialogDirectory(d58), d58);
    EXPECT_EQ(app::reportDialogDirectory(d49), d49);
    EXPECT_EQ(app::reportDialogDirectory(d59), d59.substr(0, 15) + "..." + d59.substr(59 - 40));
    EXPECT_EQ(app::reportDialogDirectory(d300), d300.substr(0, 15) + "..." + d300.substr(300 - 40));
    EXPECT_EQ(app::reportDialogDirectory(d300).size(), 58u);
    EXPECT_EQ(app::setDialogDirectory(""), "");
}

TEST(DirectoryText, UnicodePathsKeepTheirCharactersWhole) {
    // "/home/" and 30 two-byte letters (60 bytes): byte 15 and the 40th from
    // the end fall inside letters
    std::string dir = "/home/";
    for (int i = 0; i < 30; ++i) dir += "\xC3\xA9";  // U+00E9
    const std::string cut = app::shortenDirectory(dir, 58, 15, 40, true);
    EXPECT_EQ(cut, dir.substr(0, 14) + "..." + dir.substr(dir.size() - 40));
    EXPECT_LE(cut.size(), 58u);
    // a three-byte character across both cuts
    std::string euro = "/x";
    for (int i = 0; i < 20; ++i) euro += "\xE2\x82\xAC";  // U+20AC, 62 bytes in all
    const std::string e = app::shortenDirectory(euro, 58, 15, 40, true);
    EXPECT_EQ(e, euro.substr(0, 14) + "..." + euro.substr(euro.size() - 39));
    // where paths are bytes (Windows), the cut is where the bytes say
    EXPECT_EQ(app::shortenDirectory(dir, 58, 15, 40, false), dir.substr(0, 15) + "..." + dir.substr(dir.size() - 40));
    // this system's own rule, in the dialogs' texts
    if (sys::pathsAreUtf8) {
        EXPECT_EQ(app::reportDialogDirectory(dir), cut);
    }
}

TEST(SharedTexts, CaptionsAndHelpCommand) {
    EXPECT_EQ(app::ideCaption("vs"), "ZEB++/Visual Studio");
    EXPECT_EQ(app::ideCaption("cw"), "ZEB++/CodeWarrior");
    EXPECT_EQ(app::ideCaption("ca"), "ZEB++/Carbide.c++");
    EXPECT_EQ(app::ideCaption("ec"), "ZEB++/Eclipse");
    EXPECT_EQ(app::ideCaption("uv"), "ZEB++/uVision");
    EXPECT_EQ(app::ideCaption("UV"), "ZEB++/Unknown IDE");
    EXPECT_EQ(app::ideCaption(""), "ZEB++/Unknown IDE");

    const std::string sep(1, sys::pathSeparator);
    EXPECT_EQ(app::helpCommand("/opt/zeb home"), "start /D\"/opt/zeb home" + sep + "Vs_integ\" vsZEBhelp.bat");
    EXPECT_EQ(app::helpCommand(""), "start /D\"" + sep + "Vs_integ\" vsZEBhelp.bat");
    EXPECT_EQ(app::helpCommand("H" + sep), "start /D\"H" + sep + sep + "Vs_integ\" vsZEBhelp.bat");
    EXPECT_EQ(app::helpCommand("C:" + sep + "R&D"), "start /D\"C:" + sep + "R&D" + sep + "Vs_integ\" vsZEBhelp.bat");
    EXPECT_EQ(app::helpCommand("/opt/zeb\" & touch PWNED & \""), std::nullopt);
}

// The Keil lookup reads the registry file named by VSZEB_REGISTRY.
class KeilLookup : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("vszeb-keil-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        regFile_ = (root_ / "keil.reg").string();
        ::setenv("VSZEB_REGISTRY", regFile_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("VSZEB_REGISTRY");
        fs::remove_all(root_);
    }
    std::string dir(const std::string& name) {
        fs::create_directories(root_ / name);
        return (root_ / name).string();
    }
    void writeRegistry(const std::string& body) {
        std::ofstream(regFile_, std::ios::binary) << "Windows Registry Editor Version 5.00\r\n\r\n" << body;
    }
    static std::string section(const std::string& product, const std::string& valueLine) {
        return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\" + product + "]\r\n" + valueLine + "\r\n\r\n";
    }
    fs::path root_;
    std::string regFile_;
};

TEST_F(KeilLookup, ProductsInLookupOrderWithTheirToolFolders) {
    const std::string mdk = dir("mdk"), c51 = dir("c51"), c166 = dir("c166");
    writeRegistry(section("C51", "\"Path\"=\"" + c51 + "\"") + section("C166", "\"Path\"=\"" + c166 + "\"") +
                  section("MDK", "\"Path\"=\"" + mdk + "\""));
    const std::string sep(1, sys::pathSeparator);
    const std::vector<std::string> expected = {mdk + sep + "ARMCC" + sep + "bin", c166 + sep + "BIN",
                                               c51 + sep + "BIN"};
    EXPECT_EQ(app::findKeilToolDirs(), expected);
}

TEST_F(KeilLookup, SkipsWhatCannotBeUsed) {
    const std::string c166 = dir("c166");
    writeRegistry(section("MDK", "\"Path\"=dword:00000001") +               // not a string
                  section("C251", "\"Path\"=\"" + root_.string() + "/gone\"") +  // no such path
                  section("C51", "\"Other\"=\"" + c166 + "\"") +             // no Path value
                  section("C166", "\"Path\"=\"" + c166 + "\""));
    const std::string sep(1, sys::pathSeparator);
    EXPECT_EQ(app::findKeilToolDirs(), std::vector<std::string>{c166 + sep + "BIN"});
}

TEST_F(KeilLookup, ValueThatDoesNotFitTheBufferIsSkipped) {
    std::string deep = dir("d");
    while (deep.size() < 300) deep = dir(fs::relative(deep, root_).string() + "/abcdefghij");
    writeRegistry(section("C51", "\"Path\"=\"" + deep + "\""));
    EXPECT_TRUE(app::findKeilToolDirs().empty());
}

TEST_F(KeilLookup, EmptyWithoutARegistry) {
    ::unsetenv("VSZEB_REGISTRY");
    EXPECT_TRUE(app::findKeilToolDirs().empty());
}
