// The report settings file <project>.zeb, read as the Report dialog reads it
// and written back as its OK button writes it.
#include "report/reportoptions.h"
#include "report/settings.h"

#include "check.h"

namespace {

// The written file's lines, each shorter than what the reader keeps and not
// ending in a carriage return, which the reader would take for the line end's.
bool readsBackWhole(std::string_view written) {
    while (!written.empty()) {
        const std::size_t end = written.find('\n');
        const std::string_view line = written.substr(0, end);
        if (line.size() > report::kMaxSettingsLine || (!line.empty() && line.back() == '\r')) return false;
        if (end == std::string_view::npos) break;
        written.remove_prefix(end + 1);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const report::ReportSettings read = report::parseSettings(fuzz::text(data, size));

    // Whatever the file holds, the dialog gets values it can show.
    FUZZ_CHECK(read.reportType >= 0 && read.reportType < report::kReportTypeCount);
    FUZZ_CHECK(read.coverageView >= 0 && read.coverageView < report::kCoverageViewCount);
    FUZZ_CHECK(read.invokeViewer == 0 || read.invokeViewer == 1);
    FUZZ_CHECK(read.threshold == report::leadingDecimalValue(read.thresholdText));

    // Confirmed unchanged, the values are written and read back the same,
    // whether or not MON.sym and MON.dat are there.
    const report::ZebpostArguments args = report::assembleZebpostArguments({
        .zebpostOptions = read.zebpostOptions,
        .thresholdText = read.thresholdText,
        .coverageView = read.coverageView,
        .symFileExists = (size & 1) != 0,
        .datFileExists = (size & 2) != 0,
        .reportType = read.reportType,
        .symDatFiles = read.symDatFiles,
    });
    const std::string written = report::formatSettings(args.settingsLine, read.reportType, read.coverageView,
                                                       read.invokeViewer, read.viewerPath, read.zeb2htmlOptions);
    if (readsBackWhole(written)) FUZZ_CHECK(report::parseSettings(written) == read);
    return 0;
}
