// Clean dialog: offers the coverage files that exist and lets the user pick
// the kinds to remove.
#pragma once

#include <string>

#include "ui/dialog.h"

class CCleanDlg : public ui::Dialog {
public:
    // The flags are taken from the files present at this moment.
    CCleanDlg(std::string projectName, std::string projectDir);
    ~CCleanDlg() override;

    const ui::MessageMapBase* messageMap() const override;

    // Before the dialog runs: the kind is present; after OK: the user's choice.
    int cleanReports = 0;
    int cleanSymbolFile = 0;
    int cleanDataFile = 0;

protected:
    bool onInitDialog() override;
    void doDataExchange(ui::DataExchange& dx) override;

private:
    void onOkButton();
    void onCancelButton();
    void onCheckBox();
    void onHelp();
    void onSysCommand(unsigned command);

    static const ui::MessageMap<CCleanDlg> kMessageMap;

    std::string projectName_;
    std::string projectDir_;
    ui::Icon icon_;
};

namespace clean {

// The Set dialog's "&Clean...": refuses an empty project, else runs the Clean
// dialog and, after OK, removes the chosen kinds and sums up a failure.
void cleanProject(const std::string& projectName, const std::string& projectDir, int ideKind,
                  const std::string& ideCode);

}  // namespace clean
