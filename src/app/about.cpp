#include "app/about.h"

#include "res/resources.h"

CAboutDlg::CAboutDlg() : ui::Dialog(res::IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::doDataExchange(ui::DataExchange& dx) { ui::Dialog::doDataExchange(dx); }
