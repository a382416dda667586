// Files written whole or not at all, and the small conversions of the
// platform layer.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "sys/env.h"
#include "sys/files.h"
#include "sys/shortpath.h"

namespace {

namespace fs = std::filesystem;

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vszeb-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }
    fs::path dir_;
};

TEST_F(Files, WriteAtomicReplacesTheWholeFile) {
    const std::string file = path("proj.zeb");
    std::ofstream(file) << "a much longer old content\nthat has two lines\n";
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(sys::writeFileAtomic(file, "new\n"));
    EXPECT_EQ(sys::readFile(file), "new\n");  // text form on this system is "\n"
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its rights
    EXPECT_EQ(entries(), 1u);             // no temporary file is left beside it

    ASSERT_TRUE(sys::writeFileAtomic(path("fresh.bin"), std::string("a\0b\r\n", 5), false));
    EXPECT_EQ(sys::readFile(path("fresh.bin")), std::string("a\0b\r\n", 5));
}

// An options file shared through a link stays shared: the file it names is
// replaced, the link stays a link, and a link to no file makes that file.
TEST_F(Files, WriteAtomicReplacesTheFileThatALinkNames) {
    fs::create_directory(dir_ / "shared");
    std::ofstream(path("shared/zebopts.rsp")) << "-i d\n";
    fs::create_symlink("shared/zebopts.rsp", dir_ / "zebopts.rsp");
    fs::create_symlink("zebopts.rsp", dir_ / "second-hop");
    ASSERT_TRUE(sys::writeFileAtomic(path("second-hop"), "-i fti\n"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "zebopts.rsp"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "second-hop"));
    EXPECT_EQ(sys::readFile(path("shared/zebopts.rsp")), "-i fti\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "shared"), {}), 1);

    fs::create_symlink(dir_ / "shared/new.zeb", dir_ / "Demo.zeb");
    ASSERT_TRUE(sys::writeFileAtomic(path("Demo.zeb"), "x\n"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "Demo.zeb"));
    EXPECT_EQ(sys::readFile(path("shared/new.zeb")), "x\n");
}

TEST_F(Files, FailedWriteLeavesTheOldStateAndNoTemporaryFile) {
    // A directory in the file's place cannot be replaced by a file.
    const std::string target = path("zebopts.rsp");
    ASSERT_TRUE(sys::makeDirectory(target));
    std::ofstream(path("zebopts.rsp/inside")) << "kept";
    EXPECT_FALSE(sys::writeFileAtomic(target, "x\n"));
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(sys::readFile(path("zebopts.rsp/inside")), "kept");
    EXPECT_EQ(entries(), 1u);

    EXPECT_FALSE(sys::writeFileAtomic(path("no-such-dir/file"), "x\n"));
    EXPECT_EQ(entries(), 1u);

    // Content that never reached the disk must not replace the old file.
    const std::string file = path("Demo.zeb");
    std::ofstream(file) << "old\n";
    sys::failFileFlushForTests(true);
    const bool written = sys::writeFileAtomic(file, "new\n");
    sys::failFileFlushForTests(false);
    EXPECT_FALSE(written);
    EXPECT_EQ(sys::readFile(file), "old\n");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(Files, ExistenceReadingRemovalAndDirectories) {
    const std::string file = path("MON.sym");
    EXPECT_FALSE(sys::fileExists(file));
    EXPECT_EQ(sys::readFile(file), std::nullopt);
    std::ofstream(file) << "ZEB++\n";
    EXPECT_TRUE(sys::fileExists(file));
    EXPECT_EQ(sys::readFile(file), "ZEB++\n");

    // A directory is no file, to read or to find, as on Windows.
    EXPECT_TRUE(sys::makeDirectory(path("ZEBHTML")));
    EXPECT_FALSE(sys::makeDirectory(path("ZEBHTML")));
    EXPECT_FALSE(sys::fileExists(path("ZEBHTML")));
    EXPECT_EQ(sys::readFile(path("ZEBHTML")), std::nullopt);
    EXPECT_FALSE(sys::removeFile(path("ZEBHTML")));

    EXPECT_TRUE(sys::removeFile(file));
    EXPECT_FALSE(sys::removeFile(file));
    EXPECT_FALSE(sys::fileExists(file));
}

TEST_F(Files, ShortPathIsThePathItselfWhenItExistsAndFits) {
    const std::string d = dir_.string();
    EXPECT_EQ(sys::shortPath(d, d.size() + 1), d);
    EXPECT_EQ(sys::shortPath(d, d.size()), std::nullopt);
    EXPECT_EQ(sys::shortPath(path("missing"), 1000), std::nullopt);
}

TEST(PathText, JoinAndLineEnds) {
    EXPECT_EQ(sys::joinPath("/opt/zeb", "Vs_integ"), "/opt/zeb/Vs_integ");
    EXPECT_EQ(sys::joinPath("/opt/zeb/", "x"), "/opt/zeb//x");
    EXPECT_EQ(sys::withCrLf("a\nb\n\nc"), "a\r\nb\r\n\r\nc");
}

TEST(PathText, NamesThatLeadOutOfTheDirectory) {
    for (const char* name : {"..", ".", "../../evil", "/tmp/x", "a\\b", "a/"}) EXPECT_TRUE(sys::namesPath(name)) << name;
    for (const char* name : {"Demo", "", "...", ".x", "x.", "R&D", "a b"}) EXPECT_FALSE(sys::namesPath(name)) << name;
    // A drive or a stream of a file on Windows; an ordinary character elsewhere.
    EXPECT_EQ(sys::namesPath("C:evil"), sys::pathSeparator == '\\');
}

TEST(CommandLine, TailOfARawWindowsCommandLine) {
    struct Case {
        const char* raw;
        const char* tail;
    };
    const Case cases[] = {
        {"vsZEB.exe set vs proj", "set vs proj"},
        {"\"C:\\Program Files\\ZEB\\vsZEB.exe\"   set  vs \"my proj\"", "set  vs \"my proj\""},
        {"\"C:\\x y\\vsZEB.exe\"set vs", "set vs"},
        {"vsZEB.exe\tset", "set"},
        {"vsZEB.exe", ""},
        {"\"unclosed vsZEB.exe set", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(sys::commandLineTailOf(c.raw), c.tail) << c.raw;
}

TEST(CommandLine, ArgumentsJoinedWithSingleBlanks) {
    char a0[] = "vsZEB", a1[] = "set", a2[] = "vs", a3[] = "my proj";
    char* argv[] = {a0, a1, a2, a3, nullptr};
    EXPECT_EQ(sys::commandLineTail(4, argv), "set vs my proj");
    EXPECT_EQ(sys::commandLineTail(1, argv), "");
}

TEST(Environment, CurrentDirectoryComesBackWhole) {
    const auto before = fs::current_path();
    fs::path deep = fs::temp_directory_path() / ("vszeb-deep-" + std::to_string(::getpid()));
    fs::path here = deep;
    for (int i = 0; i < 40; ++i) here /= std::string(20, static_cast<char>('a' + i % 26));
    fs::create_directories(here);
    fs::current_path(here);
    EXPECT_EQ(sys::currentDirectory(), fs::canonical(here).string());  // longer than any fixed buffer of 260 or 512
    fs::current_path(before);
    fs::remove_all(deep);
}

}  // namespace

namespace {

class SpecialFiles : public Files {};

// Reading a named pipe would wait for a writer that never comes.
TEST_F(SpecialFiles, ANamedPipeIsNoFileAndIsNotRead) {
    const std::string pipe = path("MON.sym");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    EXPECT_FALSE(sys::fileExists(pipe));
    EXPECT_FALSE(sys::readFile(pipe).has_value());
    EXPECT_FALSE(sys::writeFileAtomic(pipe, "x\n"));
}

// A settings file that its owner made read-only is kept: a plain open for
// writing refuses it, and so must the replacement.
TEST_F(SpecialFiles, AReadOnlyFileIsNotReplaced) {
    const std::string file = path("Demo.zeb");
    std::ofstream(file) << "old\n";
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);  // the directory itself stays writable
    if (::geteuid() == 0) {
        // No permission stops root: try it as an ordinary user.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            ::_exit(sys::writeFileAtomic(file, "new\n") ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the file was replaced; 2: could not change user";
    } else {
        EXPECT_FALSE(sys::writeFileAtomic(file, "new\n"));
    }
    EXPECT_EQ(sys::readFile(file).value_or(""), "old\n");
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
