#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include <unistd.h>

#include "app/about.h"
#include "clean/cleandlg.h"
#include "mode/setdlg.h"
#include "report/reportdlg.h"
#include "res/resources.h"
#include "ui/headless/headless.h"

namespace fs = std::filesystem;

namespace {

// The dialogs read a few files of the current directory when they are built:
// give them an empty one.
class DialogIds : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("vszeb-ids-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

    static void expectBoundIdsInTemplate(const ui::Dialog& dlg, int templateId) {
        const ui::DialogTemplate* t = res::dialogTemplate(templateId);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(&dlg.dialogTemplate(), t);
        const ui::MessageMapBase* map = dlg.messageMap();
        if (!map) return;
        for (int id : map->commandIds()) {
            const ui::ControlTemplate* c = t->find(id);
            ASSERT_NE(c, nullptr) << "control " << id << " is bound but not in template " << templateId;
            EXPECT_NE(c->kind, ui::ControlKind::StaticText) << "control " << id << " cannot send commands";
            EXPECT_NE(c->kind, ui::ControlKind::GroupBox) << "control " << id << " cannot send commands";
        }
    }

    fs::path old_, dir_;
};

}  // namespace

TEST_F(DialogIds, EveryBoundControlExistsInTheDialogsTemplate) {
    expectBoundIdsInTemplate(CAboutDlg(), res::IDD_ABOUTBOX);
    expectBoundIdsInTemplate(CSetDlg("Demo", 0, "dir", "vs", {}), res::IDD_SET);
    expectBoundIdsInTemplate(CReportDlg("Demo", 0, "dir", "vs"), res::IDD_REPORT);
    expectBoundIdsInTemplate(CCleanDlg("Demo", "dir"), res::IDD_CLEAN);
}

namespace {

// What a dialog's window holds once its initialisation has run.
struct WindowDress {
    std::vector<std::pair<unsigned, std::string>> systemMenu;
    int bigIcon = 0, smallIcon = 0;
    bool operator==(const WindowDress&) const = default;
};

template <class D>
class Dressed : public D {
public:
    using D::D;
    WindowDress dress;

protected:
    bool onInitDialog() override {
        const bool focusSet = D::onInitDialog();
        auto& b = dynamic_cast<ui::HeadlessBackend&>(ui::backend());
        dress = {b.systemMenu(*this), b.icon(*this, true).resourceId, b.icon(*this, false).resourceId};
        return focusSet;
    }
};

template <class D>
WindowDress dressOf(D& dlg) {
    ui::HeadlessSession session("close");
    dlg.doModal();
    session.finish();
    return dlg.dress;
}

}  // namespace

TEST_F(DialogIds, WorkingDialogsCarryTheAboutEntryAndTheIcon) {
    ::setenv("ZEBWRAPDIR", dir_.c_str(), 1);
    const WindowDress expected = {{{0u, ""}, {16u, "&About ZEB++ IDE Integration"}}, 128, 128};
    Dressed<CSetDlg> set("Demo", 0, "dir", "vs", {});
    EXPECT_EQ(dressOf(set), expected);
    Dressed<CReportDlg> report("Demo", 0, "dir", "vs");
    EXPECT_EQ(dressOf(report), expected);
    Dressed<CCleanDlg> clean("Demo", "dir");
    EXPECT_EQ(dressOf(clean), expected);
    ::unsetenv("ZEBWRAPDIR");

    // the About box itself has neither
    Dressed<CAboutDlg> about;
    EXPECT_EQ(dressOf(about), WindowDress{});
}
