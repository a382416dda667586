#include "clean/cleandlg.h"

#include <algorithm>
#include <utility>

#include "app/launch.h"
#include "app/shared.h"
#include "clean/messages.h"
#include "clean/removal.h"
#include "res/resources.h"
#include "sys/console.h"
#include "ui/ui.h"

namespace {

enum : int {
    IDC_OK = 1108,
    IDC_CANCEL = 1109,
    IDC_REPORTS = 1136,
    IDC_SYMBOL_FILE = 1168,
    IDC_DATA_FILE = 1169,
    IDC_PROJECT = 1171,
    IDC_DIRECTORY = 1189,
    IDC_HELP = 1194,
};

}  // namespace

const ui::MessageMap<CCleanDlg> CCleanDlg::kMessageMap = {
    {
        {IDC_OK, ui::Notify::Clicked, &CCleanDlg::onOkButton},
        {IDC_CANCEL, ui::Notify::Clicked, &CCleanDlg::onCancelButton},
        {IDC_REPORTS, ui::Notify::Clicked, &CCleanDlg::onCheckBox},
        {IDC_SYMBOL_FILE, ui::Notify::Clicked, &CCleanDlg::onCheckBox},
        {IDC_DATA_FILE, ui::Notify::Clicked, &CCleanDlg::onCheckBox},
        {IDC_HELP, ui::Notify::Clicked, &CCleanDlg::onHelp},
    },
    &CCleanDlg::onSysCommand};

CCleanDlg::CCleanDlg(std::string projectName, std::string projectDir)
    : ui::Dialog(res::IDD_CLEAN), projectName_(std::move(projectName)), projectDir_(std::move(projectDir)) {
    const auto reports = clean::reportItems();
    cleanReports = std::any_of(reports.begin(), reports.end(), clean::itemExists) ? 1 : 0;
    cleanSymbolFile = clean::itemExists(clean::symbolFileItem()) ? 1 : 0;
    cleanDataFile = clean::itemExists(clean::dataFileItem()) ? 1 : 0;
    icon_ = ui::loadIcon(res::IDR_MAINFRAME);
}

CCleanDlg::~CCleanDlg() = default;

const ui::MessageMapBase* CCleanDlg::messageMap() const { return &kMessageMap; }

void CCleanDlg::doDataExchange(ui::DataExchange& dx) { ui::Dialog::doDataExchange(dx); }

bool CCleanDlg::onInitDialog() {
    ui::Dialog::onInitDialog();
    app::addAboutEntryAndIcon(*this, icon_);
    setItemText(IDC_PROJECT, projectName_);
    setItemText(IDC_DIRECTORY, projectDir_);
    // A kind of file that is not there can be neither chosen nor changed.
    for (const auto& [id, flag] : {std::pair{IDC_REPORTS, cleanReports}, std::pair{IDC_SYMBOL_FILE, cleanSymbolFile},
                                   std::pair{IDC_DATA_FILE, cleanDataFile}}) {
        setCheck(id, flag == 1);
        enableItem(id, flag == 1);
    }
    enableItem(IDC_OK, cleanReports == 1 || cleanSymbolFile == 1 || cleanDataFile == 1);
    return false;
}

void CCleanDlg::onOkButton() {
    cleanReports = isChecked(IDC_REPORTS) ? 1 : 0;
    cleanSymbolFile = isChecked(IDC_SYMBOL_FILE) ? 1 : 0;
    cleanDataFile = isChecked(IDC_DATA_FILE) ? 1 : 0;
    ui::Dialog::onOK();
}

void CCleanDlg::onCancelButton() { ui::Dialog::onCancel(); }

void CCleanDlg::onCheckBox() {}

void CCleanDlg::onHelp() { app::showHelp(); }

void CCleanDlg::onSysCommand(unsigned command) { app::handleSysCommand(*this, command); }

namespace clean {

void cleanProject(const std::string& projectName, const std::string& projectDir, int ideKind,
                  const std::string& ideCode) {
    if (projectName.empty()) {
        if (ideKind == app::kCodeWarriorNoProject) {
            app::showIdeError(msg::kSelectProject, ideCode);
        } else {
            sys::writeLine(msg::kSelectProjectLine);
            sys::flushAll();
        }
        return;
    }

    CCleanDlg dlg(projectName, projectDir);
    if (dlg.doModal() != ui::IDOK) return;

    bool reportsRemoved = true;
    bool symbolFileRemoved = true;
    bool dataFileRemoved = true;
    if (dlg.cleanReports == 1) reportsRemoved = removeReportFiles();
    if (dlg.cleanSymbolFile == 1) symbolFileRemoved = removeSymbolFile();
    if (dlg.cleanDataFile == 1) dataFileRemoved = removeDataFile();
    if (!reportsRemoved || !symbolFileRemoved || !dataFileRemoved) sys::writeLine(msg::kCleanError);
    sys::flushAll();
}

}  // namespace clean
