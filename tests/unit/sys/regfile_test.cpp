// The .reg file that stands in for the registry: what the Keil lookup can
// and cannot read from a registry editor's export.
#include "sys/regfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "sys/registry.h"

namespace {

using sys::RegistryFile;

const char* const kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166";

std::string utf16le(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

TEST(RegistryFile, ReadsStringValuesWithEscapes) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\r\n"
        "\"Path\"=\"C:\\\\Keil\\\\C166\"\r\n"
        "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
        "\"Name with \\\"q\\\"\"=\"n\"\r\n"
        "\"Empty\"=\"\"\r\n"
        "@=\"default\"\r\n";
    auto reg = RegistryFile::parse(text);
    EXPECT_EQ(reg.readString(kKey, "Path", 260), "C:\\Keil\\C166");
    EXPECT_EQ(reg.readString(kKey, "Quote", 260), "say \"hi\"");
    EXPECT_EQ(reg.readString(kKey, "Name with \"q\"", 260), "n");
    EXPECT_EQ(reg.readString(kKey, "Empty", 260), "");
    EXPECT_EQ(reg.readString(kKey, "", 260), "default");
}

TEST(RegistryFile, KeyAndValueNamesIgnoreCase) {
    auto reg = RegistryFile::parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\KEIL\\products\\c166]\n\"PATH\"=\"/opt/c166\"\n");
    EXPECT_EQ(reg.readString(kKey, "path", 260), "/opt/c166");
}

TEST(RegistryFile, MissingKeysValuesAndOtherTypesGiveNothing) {
    const std::string text =
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n"
        "\"Count\"=dword:00000010\n"
        "\"Blob\"=hex:01,02,03\n"
        "\"Multi\"=hex(7):41,00,00,00,00,00\n"
        "\"Gone\"=\"x\"\n"
        "\"Gone\"=-\n"
        "\"Broken\"=\"no end\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C51]\n"
        "\"Path\"=\"under a deleted key\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C51\\Sub]\n";
    auto reg = RegistryFile::parse(text);
    for (const char* name : {"Count", "Blob", "Multi", "Gone", "Broken", "Absent"})
        EXPECT_EQ(reg.readString(kKey, name, 260), std::nullopt) << name;
    EXPECT_EQ(reg.readString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C51", "Path", 260), std::nullopt);
    EXPECT_EQ(reg.readString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products", "Path", 260), std::nullopt);
}

TEST(RegistryFile, ExpandableStringsFromHexAreTakenUnexpanded) {
    // regedit writes hex(2) as UTF-16LE in 5.00 files and as ANSI in REGEDIT4,
    // and breaks long lines with a trailing backslash.
    const std::string v5 =
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n"
        "\"Path\"=hex(2):25,00,4b,00,45,00,49,00,4c,00,25,00,2f,00,\\\n"
        "  63,00,00,00\n";
    EXPECT_EQ(RegistryFile::parse(v5).readString(kKey, "Path", 260), "%KEIL%/c");
    const std::string v4 =
        "REGEDIT4\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n"
        "\"Path\"=hex(2):25,4b,25,00\n"
        "\"Bad\"=hex(2):2x,00\n";
    auto reg = RegistryFile::parse(v4);
    EXPECT_EQ(reg.readString(kKey, "Path", 260), "%K%");
    EXPECT_EQ(reg.readString(kKey, "Bad", 260), std::nullopt);
}

TEST(RegistryFile, Utf16FilesAsTheEditorExportsThem) {
    const std::string text = utf16le(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\r\n"
        "\"Path\"=\"D:\\\\T\xE9st\"\r\n");
    EXPECT_EQ(RegistryFile::parse(text).readString(kKey, "Path", 260), "D:\\T\xE9st");
}

TEST(RegistryFile, ValueMustFitTheBufferWithItsZero) {
    auto reg = RegistryFile::parse("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n\"P\"=\"abcd\"\n");
    EXPECT_EQ(reg.readString(kKey, "P", 5), "abcd");
    EXPECT_EQ(reg.readString(kKey, "P", 4), std::nullopt);
    EXPECT_EQ(reg.readString(kKey, "P", 0), std::nullopt);
}

TEST(RegistryFile, TextThatIsNoExportIsAnEmptyRegistry) {
    for (const char* text : {"", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n\"P\"=\"x\"\n",
                             "Windows Registry Editor Version 4.00\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n\"P\"=\"x\"\n"})
        EXPECT_EQ(RegistryFile::parse(text).readString(kKey, "P", 260), std::nullopt) << text;
}

TEST(MachineRegistry, ReadsTheFileNamedByTheEnvironment) {
    const auto file = std::filesystem::temp_directory_path() / ("vszeb-reg-" + std::to_string(::getpid()) + ".reg");
    std::ofstream(file, std::ios::binary)
        << "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C166]\n\"Path\"=\"/opt/c166\"\n";
    ::setenv("VSZEB_REGISTRY", file.c_str(), 1);
    EXPECT_EQ(sys::readMachineString("SOFTWARE\\Keil\\Products\\C166", "Path", 260), "/opt/c166");
    EXPECT_EQ(sys::readMachineString("SOFTWARE\\Keil\\Products\\C51", "Path", 260), std::nullopt);
    std::filesystem::remove(file);
    EXPECT_EQ(sys::readMachineString("SOFTWARE\\Keil\\Products\\C166", "Path", 260), std::nullopt);
    ::unsetenv("VSZEB_REGISTRY");
    EXPECT_EQ(sys::readMachineString("SOFTWARE\\Keil\\Products\\C166", "Path", 260), std::nullopt);
}

}  // namespace
