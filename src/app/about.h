// The About box: template 100, no fields, no handlers of its own.
#pragma once

#include "ui/dialog.h"

class CAboutDlg : public ui::Dialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    void doDataExchange(ui::DataExchange& dx) override;
};
