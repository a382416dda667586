#include "report/reportdlg.h"

#include "sys/text.h"

#include <fstream>
#include <utility>

#include "app/shared.h"
#include "report/messages.h"
#include "report/reportoptions.h"
#include "report/settings.h"
#include "res/resources.h"
#include "sys/files.h"
#include "ui/ui.h"

namespace {

// Controls of template 133.
constexpr int IDC_SELECT_VIEWER = 1051;
constexpr int IDC_INVOKE_VIEWER = 1068;
constexpr int IDC_VIEWER_PATH = 1069;
constexpr int IDC_THRESHOLD = 1070;
constexpr int IDC_VIEW_AS_INSTRUMENTED = 1071;
constexpr int IDC_VIEW_CONDITION = 1072;
constexpr int IDC_VIEW_DECISION = 1073;
constexpr int IDC_REPORT_TYPE = 1074;
constexpr int IDC_THRESHOLD_SPIN = 1076;
constexpr int IDC_OK = 1105;
constexpr int IDC_CANCEL = 1106;
constexpr int IDC_VIEW_FUNCTION = 1134;
constexpr int IDC_ZEBPOST_OPTIONS = 1135;
constexpr int IDC_PROJECT_NAME = 1160;
constexpr int IDC_SYM_STATUS = 1166;
constexpr int IDC_DAT_STATUS = 1167;
constexpr int IDC_VIEW_MCDC = 1182;
constexpr int IDC_DIRECTORY = 1185;
constexpr int IDC_ZEB2HTML_OPTIONS = 1186;
constexpr int IDC_HELP = 1195;
constexpr int IDC_SYM_DAT_FILES = 1196;

// Radio button of each coverage view code (the MC/DC button stands second
// in the dialog but has the last code).
constexpr int kViewButtons[report::kCoverageViewCount] = {
    IDC_VIEW_AS_INSTRUMENTED, IDC_VIEW_CONDITION, IDC_VIEW_DECISION, IDC_VIEW_FUNCTION, IDC_VIEW_MCDC};

constexpr unsigned kThresholdMax = 100;

// First line of the symbol file and its time stamp line.
std::optional<std::vector<std::string>> readSymbolFileHead() {
    return report::readFileLines("MON.sym", 2, 99);
}

// The data file's first 50 characters hold a "|" and the 24-character time
// stamp after it, so 74 bytes are enough.
std::optional<std::string> readDataFileHead() {
    if (!sys::fileExists("MON.dat")) return std::nullopt;
    std::ifstream in("MON.dat", std::ios::binary);
    if (!in) return std::nullopt;
    std::string head(74, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

}  // namespace

const ui::MessageMap<CReportDlg> CReportDlg::kMessageMap = {
    {
        {IDC_SELECT_VIEWER, ui::Notify::Clicked, &CReportDlg::onSelectViewer},
        {IDC_REPORT_TYPE, ui::Notify::SelChange, &CReportDlg::onReportTypeChange},
        {IDC_INVOKE_VIEWER, ui::Notify::Clicked, &CReportDlg::onInvokeViewer},
        {IDC_OK, ui::Notify::Clicked, &CReportDlg::onOkButton},
        {IDC_CANCEL, ui::Notify::Clicked, &CReportDlg::onCancelButton},
        {IDC_VIEW_AS_INSTRUMENTED, ui::Notify::Clicked, &CReportDlg::onViewAsInstrumented},
        {IDC_VIEW_CONDITION, ui::Notify::Clicked, &CReportDlg::onViewCondition},
        {IDC_VIEW_DECISION, ui::Notify::Clicked, &CReportDlg::onViewDecision},
        {IDC_VIEW_FUNCTION, ui::Notify::Clicked, &CReportDlg::onViewFunction},
        {IDC_VIEW_MCDC, ui::Notify::Clicked, &CReportDlg::onViewMcdc},
        {IDC_HELP, ui::Notify::Clicked, &CReportDlg::onHelp},
    },
    &CReportDlg::onSysCommand};

CReportDlg::CReportDlg(std::string projectName_, int ideKind_, std::string projectDir_, std::string ideCode_)
    : ui::Dialog(res::IDD_REPORT) {
    // 1. Context and initial values.
    icon = ui::loadIcon(res::IDR_MAINFRAME);
    settingsLine.clear();
    projectName = std::move(projectName_);
    ideKind = ideKind_;
    projectDir = std::move(projectDir_);
    ideCode = std::move(ideCode_);
    htmlDir = report::kDefaultHtmlDir;
    htmlStartName = report::kDefaultHtmlStartName;
    settingsFileName = report::settingsFileName(projectName);

    // 2. The settings of the last confirmed run, or the defaults.
    const report::ReportSettings s = report::readSettingsFile(settingsFileName);
    zebpostOptions = s.zebpostOptions;
    thresholdText = s.thresholdText;
    threshold = s.threshold;
    symDatFiles = s.symDatFiles;
    reportType = s.reportType;
    coverageView = s.coverageView;
    invokeViewer = s.invokeViewer;
    viewerPath = s.viewerPath;
    zeb2htmlOptions = s.zeb2htmlOptions;

    // 3. Name and listing of the report type.
    reportTypeName = std::string(report::reportTypeName(reportType, ideKind));
    outputFile = std::string(report::outputFileFor(reportType));

    // 4. and 5. Presence is tested afresh each time: the settings file does
    // not decide whether MON.sym and MON.dat are passed to zebpost.
    const auto symHead = readSymbolFileHead();
    symFileExists = symHead.has_value();
    symFileStatus = report::symFileStatusText(symHead);
    const auto datHead = readDataFileHead();
    datFileExists = datHead.has_value();
    datFileStatus = report::datFileStatusText(datHead);
}

CReportDlg::~CReportDlg() = default;

const ui::MessageMapBase* CReportDlg::messageMap() const { return &kMessageMap; }

void CReportDlg::doDataExchange(ui::DataExchange& dx) {
    ui::Dialog::doDataExchange(dx);
    dx.comboIndex(IDC_REPORT_TYPE, reportType);
    dx.number(IDC_THRESHOLD, threshold);
    dx.range(IDC_THRESHOLD, threshold, 0, kThresholdMax);
    dx.text(IDC_VIEWER_PATH, viewerPath);
    dx.check(IDC_INVOKE_VIEWER, invokeViewer);
}

bool CReportDlg::onInitDialog() {
    // The base exchanges the fields into the controls; the texts below
    // replace what it wrote (the threshold edit shows the text as read, not
    // the number reformatted).
    ui::Dialog::onInitDialog();
    app::addAboutEntryAndIcon(*this, icon);

    setItemText(IDC_PROJECT_NAME, projectName);
    setItemText(IDC_DIRECTORY, projectDir);
    setItemText(IDC_SYM_STATUS, symFileStatus);
    setItemText(IDC_DAT_STATUS, datFileStatus);

    comboReset(IDC_REPORT_TYPE);
    for (int type = 0; type < report::kReportTypeCount; ++type)
        comboAdd(IDC_REPORT_TYPE, report::reportTypeName(type, ideKind));
    comboSetSelection(IDC_REPORT_TYPE, comboFind(IDC_REPORT_TYPE, reportTypeName));

    selectCoverageView(coverageView);

    setItemText(IDC_THRESHOLD, thresholdText);
    setItemText(IDC_ZEBPOST_OPTIONS, zebpostOptions);
    setItemText(IDC_SYM_DAT_FILES, symDatFiles);
    setItemText(IDC_ZEB2HTML_OPTIONS, zeb2htmlOptions);
    setItemText(IDC_VIEWER_PATH, viewerPath);
    setCheck(IDC_INVOKE_VIEWER, invokeViewer != 0);

    applyReportType();
    // The spin button steps through the values the threshold check accepts.
    spinSetRange(IDC_THRESHOLD_SPIN, 0, static_cast<int>(kThresholdMax));
    return false;
}

// Label of the Invoke viewer box and the controls that the report type uses.
void CReportDlg::applyReportType() {
    const bool html = reportType == report::kHtmlReport;
    const bool toIde = reportType == report::kUntestedToIde;
    setItemText(IDC_INVOKE_VIEWER, html ? report::msg::kInvokeHtmlBrowser : report::msg::kInvokeViewer);
    enableItem(IDC_INVOKE_VIEWER, !toIde);
    enableItem(IDC_VIEWER_PATH, !html && !toIde);
    enableItem(IDC_SELECT_VIEWER, !html && !toIde);
    enableItem(IDC_ZEB2HTML_OPTIONS, html);
    enableItem(IDC_THRESHOLD, html);
}

void CReportDlg::selectCoverageView(int view) {
    for (int code = 0; code < report::kCoverageViewCount; ++code) setCheck(kViewButtons[code], code == view);
}

void CReportDlg::setCoverageView(int view) {
    coverageView = view;
    selectCoverageView(view);
}

void CReportDlg::onReportTypeChange() {
    reportType = comboSelection(IDC_REPORT_TYPE);
    applyReportType();
}

void CReportDlg::onInvokeViewer() {
    invokeViewer = invokeViewer != 0 ? 0 : 1;
    setCheck(IDC_INVOKE_VIEWER, invokeViewer != 0);
}

void CReportDlg::onViewAsInstrumented() { setCoverageView(0); }
void CReportDlg::onViewCondition() { setCoverageView(1); }
void CReportDlg::onViewDecision() { setCoverageView(2); }
void CReportDlg::onViewFunction() { setCoverageView(3); }
void CReportDlg::onViewMcdc() { setCoverageView(4); }

void CReportDlg::onSelectViewer() {
    ui::FileDialogOptions options;
    options.defaultExtension = report::msg::kViewerExtension;
    options.initialName = viewerPath;  // the field: an edited, unconfirmed text does not count
    options.filter = report::msg::kViewerFilter;
    options.title = report::msg::kViewerTitle;
    options.fileMustExist = true;
    options.noChangeDirectory = true;
    options.hideReadOnly = true;
    if (const auto chosen = ui::openFileDialog(options)) {
        viewerPath = *chosen;
        setItemText(IDC_VIEWER_PATH, viewerPath);
    }
}

void CReportDlg::onOkButton() {
    // 1. and 2. The edits reach the fields, also when a check below fails.
    thresholdText = itemText(IDC_THRESHOLD);
    threshold = report::leadingDecimalValue(thresholdText);
    zebpostOptions = sys::trim(itemText(IDC_ZEBPOST_OPTIONS));
    symDatFiles = sys::trim(itemText(IDC_SYM_DAT_FILES));
    zeb2htmlOptions = sys::trim(itemText(IDC_ZEB2HTML_OPTIONS));
    viewerPath = itemText(IDC_VIEWER_PATH);

    // 3. Options the program composes itself.
    if (const report::OptionCheck check = report::checkZebpostOptions(zebpostOptions); !check.ok()) {
        app::showIdeError(report::msg::zebpostOptionRejected(*check.rejectedWord), ideCode);
        setFocus(IDC_ZEBPOST_OPTIONS);
        return;
    }

    // 4. The listing; the zeb2html options matter (and are checked) only
    // for the HTML report, whose edit is the only one enabled.
    outputFile = std::string(report::outputFileFor(reportType));
    if (reportType == report::kHtmlReport) {
        // Directory and start page follow the options as they are now: a
        // value taken at an earlier OK that the threshold check refused
        // would name a page that zeb2html no longer writes.
        std::string dir(report::kDefaultHtmlDir), startName(report::kDefaultHtmlStartName);
        const report::OptionCheck check = report::checkZeb2htmlOptions(zeb2htmlOptions, dir, startName);
        if (!check.ok()) {
            app::showIdeError(report::msg::zeb2htmlOptionRejected(*check.rejectedWord), ideCode);
            setFocus(IDC_ZEB2HTML_OPTIONS);
            return;
        }
        htmlDir = std::move(dir);
        htmlStartName = std::move(startName);
    }

    // 5. to 10.
    const report::ZebpostArguments args = report::assembleZebpostArguments({
        .zebpostOptions = zebpostOptions,
        .thresholdText = thresholdText,
        .coverageView = coverageView,
        .symFileExists = symFileExists,
        .datFileExists = datFileExists,
        .reportType = reportType,
        .symDatFiles = symDatFiles,
    });
    settingsLine = args.settingsLine;
    zebpostArgs = args.zebpostArgs;

    // The framework's threshold check comes before the write: a refused OK
    // keeps the dialog open and the file as it was, so Cancel saves nothing.
    if (!updateData(true)) return;

    // 11. A file that cannot be written does not stop the report.
    report::writeSettingsFile(settingsFileName, report::formatSettings(settingsLine, reportType, coverageView,
                                                                       invokeViewer, viewerPath, zeb2htmlOptions));

    // 12. The framework's OK; its exchange has just been checked.
    endDialog(ui::IDOK);
}

void CReportDlg::onCancelButton() { onCancel(); }

void CReportDlg::onHelp() { app::showHelp(); }

void CReportDlg::onSysCommand(unsigned command) { app::handleSysCommand(*this, command); }
