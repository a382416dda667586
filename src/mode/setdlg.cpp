#include "mode/setdlg.h"

#include <utility>

#include "app/launch.h"
#include "app/shared.h"
#include "clean/cleandlg.h"
#include "mode/messages.h"
#include "mode/modefiles.h"
#include "mode/options.h"
#include "res/resources.h"
#include "sys/command.h"
#include "sys/console.h"
#include "sys/files.h"
#include "sys/messages.h"
#include "ui/ui.h"

namespace {

enum : int {
    IDC_TIMING = 1012,
    IDC_CLEAN = 1043,
    IDC_CANCEL = 1111,
    IDC_OPTIONS = 1137,
    IDC_EXCLUSIVE = 1138,
    IDC_INCLUSIVE = 1139,
    IDC_MODE_LABEL = 1177,
    IDC_OK = 1178,
    IDC_ON = 1182,
    IDC_OFF = 1183,
    IDC_MULTICONDITION = 1190,
    IDC_FUNCTION = 1191,
    IDC_DECISION = 1192,
    IDC_HELP = 1193,
};

}  // namespace

const ui::MessageMap<CSetDlg> CSetDlg::kMessageMap = {
    {
        {IDC_ON, ui::Notify::Clicked, &CSetDlg::onModeOn},
        {IDC_OFF, ui::Notify::Clicked, &CSetDlg::onModeOff},
        {IDC_FUNCTION, ui::Notify::Clicked, &CSetDlg::onFunctionCoverage},
        {IDC_DECISION, ui::Notify::Clicked, &CSetDlg::onDecisionCoverage},
        {IDC_MULTICONDITION, ui::Notify::Clicked, &CSetDlg::onMulticonditionCoverage},
        {IDC_TIMING, ui::Notify::Clicked, &CSetDlg::onTiming},
        {IDC_INCLUSIVE, ui::Notify::Clicked, &CSetDlg::onInclusive},
        {IDC_EXCLUSIVE, ui::Notify::Clicked, &CSetDlg::onExclusive},
        {IDC_OK, ui::Notify::Clicked, &CSetDlg::onOkButton},
        {IDC_CANCEL, ui::Notify::Clicked, &CSetDlg::onCancelButton},
        {IDC_CLEAN, ui::Notify::Clicked, &CSetDlg::onClean},
        {IDC_HELP, ui::Notify::Clicked, &CSetDlg::onHelp},
    },
    &CSetDlg::onSysCommand};

CSetDlg::CSetDlg(std::string projectName, int ideKind, std::string projectDir, std::string ideCode,
                 std::vector<std::string> keilToolDirs)
    : ui::Dialog(res::IDD_SET),
      projectName_(std::move(projectName)),
      projectDir_(std::move(projectDir)),
      ideKind_(ideKind),
      ideCode_(std::move(ideCode)),
      keilToolDirs_(std::move(keilToolDirs)) {
    icon_ = ui::loadIcon(res::IDR_MAINFRAME);

    const std::optional<std::string> modeDir = modeDirectory();
    modeAtStart_ = modeDir && mode::testMode(ideKind_, *modeDir);
    requestedMode_ = modeAtStart_;

    const mode::InstrumentationSettings settings = modeDir ? mode::readSettings(*modeDir) : mode::InstrumentationSettings{};
    functionFlag_ = settings.level == mode::CoverageLevel::Function ? 1 : 0;
    decisionFlag_ = settings.level == mode::CoverageLevel::Decision ? 1 : 0;
    multiconditionFlag_ = settings.level == mode::CoverageLevel::Multicondition ? 1 : 0;
    timingFlag_ = settings.timing ? 1 : 0;
    inclusiveFlag_ = settings.inclusive ? 1 : 0;
    additionalOptions_ = settings.additionalOptions;
}

CSetDlg::~CSetDlg() = default;

const ui::MessageMapBase* CSetDlg::messageMap() const { return &kMessageMap; }

std::optional<std::string> CSetDlg::modeDirectory() const {
    return mode::modeDirectory(ideKind_, keilToolDirs_);
}

void CSetDlg::doDataExchange(ui::DataExchange& dx) {
    ui::Dialog::doDataExchange(dx);
    dx.check(IDC_TIMING, timingFlag_);
    dx.text(IDC_OPTIONS, additionalOptions_);
}

bool CSetDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    app::addAboutEntryAndIcon(*this, icon_);

    // uVision keeps its mode files in the first Keil tool directory; without
    // one there is nothing this dialog could show or switch.
    if (!modeDirectory()) {
        sys::writeLine(mode::msg::kKeilNotInstalled);
        endDialog(ui::IDCANCEL);
        return true;
    }

    if (functionFlag_) {
        setCheck(IDC_FUNCTION, true);
        setCheck(IDC_DECISION, false);
        setCheck(IDC_MULTICONDITION, false);
    } else {
        setCheck(IDC_FUNCTION, false);
        setCheck(IDC_DECISION, decisionFlag_ != 0);
        setCheck(IDC_MULTICONDITION, decisionFlag_ == 0);
    }

    setCheck(IDC_TIMING, timingFlag_ != 0);
    enableItem(IDC_INCLUSIVE, timingFlag_ != 0);
    enableItem(IDC_EXCLUSIVE, timingFlag_ != 0);

    setCheck(IDC_INCLUSIVE, inclusiveFlag_ != 0);
    setCheck(IDC_EXCLUSIVE, inclusiveFlag_ == 0);

    setItemText(IDC_OPTIONS, additionalOptions_);

    setItemText(IDC_MODE_LABEL, modeAtStart_ ? mode::msg::kModeIsOn : mode::msg::kModeIsOff);
    enableItem(IDC_ON, true);
    enableItem(IDC_OFF, true);
    setCheck(IDC_ON, modeAtStart_);
    setCheck(IDC_OFF, !modeAtStart_);

    setFocus(IDC_OK);
    return true;
}

void CSetDlg::onModeOn() {
    requestedMode_ = true;
    setItemText(IDC_MODE_LABEL, modeAtStart_ ? mode::msg::kModeIsOn : mode::msg::kModeWillBeSetOn);
    enableItem(IDC_ON, true);
    enableItem(IDC_OFF, true);
    setCheck(IDC_ON, true);
    setCheck(IDC_OFF, false);
    setFocus(IDC_OK);
}

void CSetDlg::onModeOff() {
    requestedMode_ = false;
    setItemText(IDC_MODE_LABEL, modeAtStart_ ? mode::msg::kModeWillBeSetOff : mode::msg::kModeIsOff);
    enableItem(IDC_ON, true);
    enableItem(IDC_OFF, true);
    setCheck(IDC_OFF, true);
    setCheck(IDC_ON, false);
    setFocus(IDC_OK);
}

void CSetDlg::setCoverage(int function, int decision, int multicondition) {
    functionFlag_ = function;
    decisionFlag_ = decision;
    multiconditionFlag_ = multicondition;
    setCheck(IDC_FUNCTION, function != 0);
    setCheck(IDC_DECISION, decision != 0);
    setCheck(IDC_MULTICONDITION, multicondition != 0);
}

void CSetDlg::onFunctionCoverage() { setCoverage(1, 0, 0); }
void CSetDlg::onDecisionCoverage() { setCoverage(0, 1, 0); }
void CSetDlg::onMulticonditionCoverage() { setCoverage(0, 0, 1); }

void CSetDlg::onTiming() {
    timingFlag_ = timingFlag_ ? 0 : 1;
    setCheck(IDC_TIMING, timingFlag_ != 0);
    enableItem(IDC_INCLUSIVE, timingFlag_ != 0);
    enableItem(IDC_EXCLUSIVE, timingFlag_ != 0);
}

void CSetDlg::onInclusive() { inclusiveFlag_ = 1; }
void CSetDlg::onExclusive() { inclusiveFlag_ = 0; }

void CSetDlg::onOkButton() {
    additionalOptions_ = mode::cleanOptionsText(itemText(IDC_OPTIONS));

    if (const std::optional<std::string> rejected = mode::rejectedOption(additionalOptions_)) {
        app::showIdeError(mode::msg::optionNotAllowed(*rejected), ideCode_);
        setFocus(IDC_OPTIONS);
        return;
    }

    const std::optional<std::string> modeDir = modeDirectory();
    if (!modeDir) return;  // cannot happen: the dialog closes at once without one

    // The commands of a switch are built before anything is written: a mode
    // directory that no command can hold leaves every file as it was.
    const bool uVision = app::isUVision(ideKind_);
    const bool switching = requestedMode_ != modeAtStart_;
    const std::string marker = sys::joinPath(*modeDir, mode::kUVisionMarkerName);
    std::optional<std::string> switchCommand, deleteMarker;
    if (switching) {
        switchCommand = mode::zebwrapCommand(requestedMode_, uVision, *modeDir);
        if (!requestedMode_) deleteMarker = mode::deleteCommand(marker);
        if (!switchCommand || (!requestedMode_ && !deleteMarker)) {
            sys::writeLine(sys::msg::notOneWord(sys::msg::kPath, *modeDir));
            ui::Dialog::onCancel();
            return;
        }
    }
    mode::prepareWrapperDirectory(ideKind_);

    mode::InstrumentationSettings settings;
    settings.level = functionFlag_   ? mode::CoverageLevel::Function
                     : decisionFlag_ ? mode::CoverageLevel::Decision
                                     : mode::CoverageLevel::Multicondition;
    settings.timing = timingFlag_ != 0;
    settings.inclusive = inclusiveFlag_ != 0;
    settings.additionalOptions = additionalOptions_;
    // Options that did not reach the file are not what the builds use: the
    // fault is reported and no line claims them.
    mode::OptionsWrite written = mode::writeSettings(*modeDir, settings);
    if (written.fault)
        sys::writeLine(mode::msg::optionsNotWritten(written.path, *written.fault));
    else
        additionalOptions_ = std::move(written.line);
    const bool optionsStored = !written.fault;

    if (!switching) {
        if (requestedMode_) {
            sys::writeLine(mode::msg::kModeIsOn);
            if (optionsStored) sys::writeLine(std::string(mode::msg::kBuildsWithZeb) + additionalOptions_);
        } else {
            sys::writeLine(mode::msg::kModeIsOff);
            sys::writeLine(mode::msg::kBuildsNormal);
        }
    } else if (sys::runCommand(*switchCommand) != 0) {
        sys::writeLine(mode::msg::kSetModeError);
    } else if (requestedMode_) {
        sys::writeLine(mode::msg::kModeIsSetOn);
        if (optionsStored) sys::writeLine(std::string(mode::msg::kBuildsWithZeb) + additionalOptions_);
    } else {
        if (sys::fileExists(marker)) (void)sys::runCommand(*deleteMarker);
        sys::writeLine(mode::msg::kModeIsSetOff);
        sys::writeLine(mode::msg::kBuildsNormal);
    }

    ui::Dialog::onOK();
}

void CSetDlg::onCancelButton() { ui::Dialog::onCancel(); }

void CSetDlg::onClean() { clean::cleanProject(projectName_, projectDir_, ideKind_, ideCode_); }

void CSetDlg::onHelp() { app::showHelp(); }

void CSetDlg::onSysCommand(unsigned command) { app::handleSysCommand(*this, command); }
