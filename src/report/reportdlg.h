// Report dialog: report type, coverage view, threshold, additional options
// and viewer, remembered per project in <project>.zeb. Its OK checks the
// options and assembles the zebpost arguments for the report run.
#pragma once

#include <string>

#include "ui/dialog.h"

class CReportDlg : public ui::Dialog {
public:
    CReportDlg(std::string projectName, int ideKind, std::string projectDir, std::string ideCode);
    ~CReportDlg() override;

    const ui::MessageMapBase* messageMap() const override;

    std::string projectName;
    std::string projectDir;
    int reportType = 0;
    unsigned threshold = 75;
    std::string viewerPath;
    int invokeViewer = 1;
    bool symFileExists = false;
    bool datFileExists = false;
    int coverageView = 0;
    std::string reportTypeName;
    std::string outputFile;
    std::string zebpostOptions;
    std::string symDatFiles;
    std::string zeb2htmlOptions;
    std::string htmlDir;
    std::string htmlStartName;
    std::string settingsLine;
    std::string zebpostArgs;
    std::string thresholdText;
    std::string symFileStatus;
    std::string datFileStatus;
    std::string settingsFileName;
    int ideKind = 0;
    std::string ideCode;

protected:
    bool onInitDialog() override;
    void doDataExchange(ui::DataExchange& dx) override;

private:
    void onSelectViewer();
    void onReportTypeChange();
    void onInvokeViewer();
    void onOkButton();
    void onCancelButton();
    void onViewAsInstrumented();
    void onViewCondition();
    void onViewDecision();
    void onViewFunction();
    void onViewMcdc();
    void onHelp();
    void onSysCommand(unsigned command);

    void setCoverageView(int view);
    void selectCoverageView(int view);
    void applyReportType();

    ui::Icon icon;
    static const ui::MessageMap<CReportDlg> kMessageMap;
};
