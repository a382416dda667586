// Removal of the coverage files from the current directory, and the Clean
// dialog's view of what is there.
#include "clean/removal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "clean/cleandlg.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh directory of its own, as the program runs in
// the project directory.
class Removal : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "vszeb-clean-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        fs::current_path(pattern);
        cwd_ = fs::current_path().string();
    }
    void TearDown() override {
        for (const std::string& name : immutable_) setImmutable(name, false);
        fs::current_path(previous_);
        std::error_code ec;
        fs::remove_all(cwd_, ec);
    }
    static void put(const fs::path& path) {
        if (path.has_parent_path()) fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    // A file that opens for reading but cannot be removed. Tests run as
    // root, whom no permission stops; the immutable flag does (where the
    // file system and our capabilities allow it).
    bool putUnremovable(const std::string& name) {
        put(name);
        if (!setImmutable(name, true)) return false;
        immutable_.push_back(name);
        return true;
    }
    static bool setImmutable(const std::string& name, bool on) {
        const int fd = ::open(name.c_str(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }

    template <class F>
    std::pair<bool, std::string> run(F routine) {
        ::testing::internal::CaptureStdout();
        const bool ok = routine();
        return {ok, ::testing::internal::GetCapturedStdout()};
    }

    fs::path previous_;
    std::string cwd_;
    std::vector<std::string> immutable_;
};

TEST_F(Removal, ReportsGoInTableOrderWithTheFullDirectory) {
    for (const char* name : {"zebreport.xml", "zebtiming.txt", "zebuntested.txt", "zebprofile.txt"}) put(name);
    put("ZEBHTML/index.html");
    put("ZEBHTML/sub/page.html");
    const auto [ok, out] = run(clean::removeReportFiles);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "Deleted report file " + cwd_ + "/zebprofile.txt\n" +
                       "Deleted report file " + cwd_ + "/zebuntested.txt\n" +
                       "Deleted report file " + cwd_ + "/zebtiming.txt\n" +
                       "Deleted report file " + cwd_ + "/zebreport.xml\n" +
                       "Deleted report directory " + cwd_ + "/ZEBHTML\n");
    EXPECT_TRUE(fs::is_empty(cwd_));
}

TEST_F(Removal, AbsentItemsAreSkippedSilently) {
    put("zebtiming.txt");
    put("other.txt");
    auto [ok, out] = run(clean::removeReportFiles);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "Deleted report file " + cwd_ + "/zebtiming.txt\n");
    std::tie(ok, out) = run(clean::removeSymbolFile);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(fs::exists("other.txt"));
}

TEST_F(Removal, HtmlDirectoryWithoutStartPageIsLeftAlone) {
    put("ZEBHTML/other.html");
    put("zebprofile.txt");
    const auto [ok, out] = run(clean::removeReportFiles);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "Deleted report file " + cwd_ + "/zebprofile.txt\n");
    EXPECT_TRUE(fs::exists("ZEBHTML/other.html"));
}

TEST_F(Removal, AFailureIsReportedAndTheRestStillRemoved) {
    if (!putUnremovable("zebuntested.txt")) GTEST_SKIP() << "cannot make a file un-removable here";
    put("zebreport.xml");
    put("ZEBHTML/index.html");
    ASSERT_TRUE(putUnremovable("ZEBHTML/locked.png"));
    auto [ok, out] = run(clean::removeReportFiles);
    EXPECT_FALSE(ok);
    EXPECT_EQ(out, "Could not delete report file " + cwd_ + "/zebuntested.txt\n" +
                       "Deleted report file " + cwd_ + "/zebreport.xml\n" +
                       "Could not delete report directory " + cwd_ + "/ZEBHTML\n");

    put("MON.sym");
    ASSERT_TRUE(putUnremovable("MON.dat"));
    std::tie(ok, out) = run(clean::removeSymbolFile);
    EXPECT_TRUE(ok);
    EXPECT_EQ(out, "Deleted symbol file " + cwd_ + "/MON.sym\n");
    std::tie(ok, out) = run(clean::removeDataFile);
    EXPECT_FALSE(ok);
    EXPECT_EQ(out, "Could not delete data file " + cwd_ + "/MON.dat\n");
}

TEST_F(Removal, CleanDialogOffersTheKindsPresentAtConstruction) {
    put("ZEBHTML/other.html");
    {
        CCleanDlg dlg("proj", "dir");
        EXPECT_EQ(dlg.cleanReports, 0);
        EXPECT_EQ(dlg.cleanSymbolFile, 0);
        EXPECT_EQ(dlg.cleanDataFile, 0);
    }
    put("ZEBHTML/index.html");
    put("MON.dat");
    CCleanDlg dlg("proj", "dir");
    EXPECT_EQ(dlg.cleanReports, 1);
    EXPECT_EQ(dlg.cleanSymbolFile, 0);
    EXPECT_EQ(dlg.cleanDataFile, 1);
}

}  // namespace
