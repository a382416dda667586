// Set dialog: shows the project's instrumentation mode and options, writes
// zebopts.rsp and switches the mode through zebwrap.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/dialog.h"

class CSetDlg : public ui::Dialog {
public:
    CSetDlg(std::string projectName, int ideKind, std::string projectDir, std::string ideCode,
            std::vector<std::string> keilToolDirs);
    ~CSetDlg() override;

    const ui::MessageMapBase* messageMap() const override;

protected:
    bool onInitDialog() override;
    void doDataExchange(ui::DataExchange& dx) override;

private:
    void onModeOn();
    void onModeOff();
    void onFunctionCoverage();
    void onDecisionCoverage();
    void onMulticonditionCoverage();
    void onTiming();
    void onInclusive();
    void onExclusive();
    void onOkButton();
    void onCancelButton();
    void onClean();
    void onHelp();
    void onSysCommand(unsigned command);

    void setCoverage(int function, int decision, int multicondition);
    std::optional<std::string> modeDirectory() const;

    static const ui::MessageMap<CSetDlg> kMessageMap;

    int functionFlag_ = 0;
    int decisionFlag_ = 1;
    int multiconditionFlag_ = 0;
    int timingFlag_ = 0;
    std::string additionalOptions_;
    int inclusiveFlag_ = 1;
    ui::Icon icon_;
    std::string projectName_;
    std::string projectDir_;
    bool requestedMode_ = false;
    bool modeAtStart_ = false;
    int ideKind_;
    std::string ideCode_;
    std::vector<std::string> keilToolDirs_;
};
