// The report settings file <project>.zeb, read as the Report dialog reads it
// and written back as its OK button writes it.
#include "report/reportoptions.h"
#include "report/settings.h"

#include "check.h"

namespace {

// The writer keeps every field on its own line: a carriage return that a
// hand-edited file put inside a field does not come back.
bool holdsCarriageReturn(const report::ReportSettings& s) {
    for (const std::string* field : {&s.zebpostOptions, &s.thresholdText, &s.symDatFiles, &s.viewerPath,
                                     &s.zeb2htmlOptions})
        if (field->find('\r') != std::string::npos) return true;
    return false;
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
    // however long, whether or not MON.sym and MON.dat are there.
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
    if (!holdsCarriageReturn(read)) FUZZ_CHECK(report::parseSettings(written) == read);
    return 0;
}
