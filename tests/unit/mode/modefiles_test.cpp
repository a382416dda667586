// The mode directory, the mode marker and zebopts.rsp on disk.
#include "mode/modefiles.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/launch.h"

namespace {

namespace fs = std::filesystem;
using mode::CoverageLevel;
using mode::InstrumentationSettings;

class ModeFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vszeb-mode-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        ::unsetenv("ZEBWRAPDIR");
    }
    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(fs::path(dir_) / name, std::ios::binary) << bytes;
    }
    std::string bytesOf(const std::string& name) {
        std::ifstream in(fs::path(dir_) / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    InstrumentationSettings readWith(const std::string& bytes) {
        put("zebopts.rsp", bytes);
        return mode::readSettings(dir_);
    }
    std::string dir_;
};

TEST_F(ModeFiles, DirectoryIsTheFirstKeilDirForUVisionElseZebwrapdirAtEachCall) {
    EXPECT_EQ(mode::modeDirectory(app::kUVision, {"/k/ARMCC/bin", "/k/BIN"}), "/k/ARMCC/bin");
    EXPECT_EQ(mode::modeDirectory(app::kUVisionNoProject, {}), std::nullopt);

    ::setenv("ZEBWRAPDIR", "/first", 1);
    EXPECT_EQ(mode::modeDirectory(app::kVisualStudio, {"/k/BIN"}), "/first");
    ::setenv("ZEBWRAPDIR", "/second", 1);
    EXPECT_EQ(mode::modeDirectory(app::kCodeWarriorNoProject, {}), "/second");
    EXPECT_EQ(mode::modeDirectory(app::kUnknownIde, {}), "/second");
}

TEST_F(ModeFiles, EachIdeLooksOnlyForItsOwnMarker) {
    EXPECT_FALSE(mode::testMode(app::kUVision, dir_));
    EXPECT_FALSE(mode::testMode(app::kEclipse, dir_));
    put("zeb.exe", "");
    EXPECT_FALSE(mode::testMode(app::kUVision, dir_));
    EXPECT_TRUE(mode::testMode(app::kEclipse, dir_));
    EXPECT_TRUE(mode::testMode(app::kUnknownIde, dir_));
    fs::remove(fs::path(dir_) / "zeb.exe");
    put("zebmodeon.txt", "anything");
    EXPECT_TRUE(mode::testMode(app::kUVisionNoProject, dir_));
    EXPECT_FALSE(mode::testMode(app::kVisualStudio, dir_));
}

TEST_F(ModeFiles, MissingOrUnreadableFileGivesTheDefaults) {
    const InstrumentationSettings defaults{CoverageLevel::Decision, false, true, ""};
    EXPECT_EQ(mode::readSettings(dir_), defaults);
    EXPECT_EQ(mode::readSettings(dir_ + "/no such dir"), defaults);
    // A directory of that name opens but cannot be read.
    fs::create_directory(fs::path(dir_) / "zebopts.rsp");
    EXPECT_EQ(mode::readSettings(dir_), defaults);
}

TEST_F(ModeFiles, ReadsOnlyTheFirstLineWhateverTheBytes) {
    using namespace std::string_literals;
    EXPECT_EQ(readWith("-i fti -v\r\n-i m\n"), (InstrumentationSettings{CoverageLevel::Function, true, true, "-v"}));
    // No line end at all, and a lone carriage return inside the line.
    EXPECT_EQ(readWith("-i mte\rfoo"), (InstrumentationSettings{CoverageLevel::Multicondition, true, false, "foo"}));
    // The line ends at a NUL byte: what follows it is not seen.
    EXPECT_EQ(readWith("-i f\0ti -v\n"s), (InstrumentationSettings{CoverageLevel::Function, false, true, ""}));
    // Binary bytes are characters like any other.
    EXPECT_EQ(readWith("-i d \x80\xff\x01 x\n"),
              (InstrumentationSettings{CoverageLevel::Decision, false, true, "\x80\xff\x01 x"}));
    // Thousands of characters: the first 999 are read.
    const InstrumentationSettings longLine = readWith("-i d " + std::string(5000, 'x') + " -tail\n");
    EXPECT_EQ(longLine.level, CoverageLevel::Decision);
    EXPECT_EQ(longLine.additionalOptions, std::string(999 - 5, 'x'));
}

TEST_F(ModeFiles, WritingReplacesTheFileWithOneLine) {
    put("zebopts.rsp", "-i m old options\nsecond line\n");
    const mode::OptionsWrite written = mode::writeSettings(dir_, {CoverageLevel::Function, true, false, "-v"});
    EXPECT_EQ(written.line, "-i fte -v");
    EXPECT_EQ(written.path, dir_ + "/zebopts.rsp");
    EXPECT_EQ(written.fault, std::nullopt);
    EXPECT_EQ(bytesOf("zebopts.rsp"), "-i fte -v\n");
    EXPECT_EQ(mode::writeSettings(dir_, {}).line, "-i d");
    EXPECT_EQ(bytesOf("zebopts.rsp"), "-i d\n");
}

TEST_F(ModeFiles, AFileThatCannotBeWrittenSaysWhy) {
    const std::string missing = dir_ + "/missing";
    EXPECT_EQ(mode::writeSettings(missing, {}).fault, "The system cannot find the path specified.");
    EXPECT_FALSE(fs::exists(missing));
    fs::create_directory(dir_ + "/zebopts.rsp");
    const mode::OptionsWrite written = mode::writeSettings(dir_, {});
    EXPECT_EQ(written.fault, "It is a directory, not a file.");
    EXPECT_EQ(written.line, "-i d");
    EXPECT_TRUE(fs::is_directory(dir_ + "/zebopts.rsp"));
}

TEST_F(ModeFiles, WrapperDirectoryIsPreparedForOtherIdesOnly) {
    const std::string wrapper = dir_ + "/wrap";
    ::setenv("ZEBWRAPDIR", wrapper.c_str(), 1);
    mode::prepareWrapperDirectory(app::kUVision);
    EXPECT_FALSE(fs::exists(wrapper));
    mode::prepareWrapperDirectory(app::kVisualStudio);
    EXPECT_TRUE(fs::is_directory(wrapper));
    mode::prepareWrapperDirectory(app::kVisualStudio);  // exists already: no harm
    EXPECT_TRUE(fs::is_directory(wrapper));
}

}  // namespace
