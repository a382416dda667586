#include "mode/modefiles.h"

#include <fstream>

#include "app/launch.h"
#include "sys/env.h"
#include "sys/files.h"

namespace mode {

namespace {

constexpr const char* kWrapperDirVariable = "ZEBWRAPDIR";

}  // namespace

std::optional<std::string> modeDirectory(int ideKind, const std::vector<std::string>& keilToolDirs) {
    if (app::isUVision(ideKind)) {
        if (keilToolDirs.empty()) return std::nullopt;
        return keilToolDirs.front();
    }
    return sys::getEnv(kWrapperDirVariable);
}

std::string modeMarkerPath(int ideKind, const std::string& modeDir) {
    return sys::joinPath(modeDir, app::isUVision(ideKind) ? kUVisionMarkerName : kWrapperMarkerName);
}

bool testMode(int ideKind, const std::string& modeDir) {
    return sys::fileExists(modeMarkerPath(ideKind, modeDir));
}

InstrumentationSettings readSettings(const std::string& modeDir) {
    const std::string path = sys::joinPath(modeDir, kOptionsFileName);
    // Only a plain file is read: a named pipe of that name would hold the
    // dialog until someone wrote to it.
    if (!sys::fileExists(path)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    // Only the first line counts, so only as much as it may hold is read.
    std::string buffer(kMaxLineChars, '\0');
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    // A read that fails (not merely at the end, e.g. on a directory) leaves
    // nothing trustworthy: like a file that cannot be opened.
    if (in.bad()) return {};
    buffer.resize(static_cast<std::size_t>(in.gcount()));
    return parseOptionsLine(firstLine(buffer));
}

OptionsWrite writeSettings(const std::string& modeDir, const InstrumentationSettings& settings) {
    OptionsWrite out;
    out.path = sys::joinPath(modeDir, kOptionsFileName);
    out.line = formatOptionsLine(settings);
    out.fault = sys::writeFileAtomicFault(out.path, out.line + "\n");
    return out;
}

void prepareWrapperDirectory(int ideKind) {
    if (app::isUVision(ideKind)) return;
    (void)sys::makeDirectory(sys::getEnv(kWrapperDirVariable));
}

}  // namespace mode
