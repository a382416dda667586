// The Report dialog where a scenario cannot look: what it asks of the
// file-open dialog, and the launch context in the order start-up hands it.
#include "report/reportdlg.h"

#include <gtest/gtest.h>

#include <deque>

#include "app/launch.h"
#include "ui/backend.h"
#include "ui/headless/headless.h"

namespace {

// The headless back end of a session, with the file-open dialog answered
// here and its options kept.
class FileDialogSpy final : public ui::Backend {
public:
    explicit FileDialogSpy(ui::Backend& inner) : inner_(inner) {}

    std::vector<ui::FileDialogOptions> shown;
    std::deque<std::optional<std::string>> answers;

    std::optional<std::string> openFileDialog(const ui::FileDialogOptions& options) override {
        shown.push_back(options);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::string_view name() const override { return inner_.name(); }
    void runModal(ui::Dialog& d) override { inner_.runModal(d); }
    void endModal(ui::Dialog& d) override { inner_.endModal(d); }
    ui::Dialog* topDialog() const override { return inner_.topDialog(); }
    std::string caption(const ui::Dialog& d) const override { return inner_.caption(d); }
    bool hasControl(const ui::Dialog& d, int id) const override { return inner_.hasControl(d, id); }
    void setItemText(ui::Dialog& d, int id, std::string_view t) override { inner_.setItemText(d, id, t); }
    std::string itemText(const ui::Dialog& d, int id) const override { return inner_.itemText(d, id); }
    void setCheck(ui::Dialog& d, int id, bool c) override { inner_.setCheck(d, id, c); }
    bool isChecked(const ui::Dialog& d, int id) const override { return inner_.isChecked(d, id); }
    void enableItem(ui::Dialog& d, int id, bool e) override { inner_.enableItem(d, id, e); }
    bool isItemEnabled(const ui::Dialog& d, int id) const override { return inner_.isItemEnabled(d, id); }
    void setFocus(ui::Dialog& d, int id) override { inner_.setFocus(d, id); }
    int focusedItem(const ui::Dialog& d) const override { return inner_.focusedItem(d); }
    void comboReset(ui::Dialog& d, int id) override { inner_.comboReset(d, id); }
    void comboAdd(ui::Dialog& d, int id, std::string_view t) override { inner_.comboAdd(d, id, t); }
    void comboSetSelection(ui::Dialog& d, int id, int i) override { inner_.comboSetSelection(d, id, i); }
    int comboSelection(const ui::Dialog& d, int id) const override { return inner_.comboSelection(d, id); }
    int comboCount(const ui::Dialog& d, int id) const override { return inner_.comboCount(d, id); }
    std::string comboItem(const ui::Dialog& d, int id, int i) const override { return inner_.comboItem(d, id, i); }
    void spinSetRange(ui::Dialog& d, int id, int lo, int up) override { inner_.spinSetRange(d, id, lo, up); }
    std::pair<int, int> spinRange(const ui::Dialog& d, int id) const override { return inner_.spinRange(d, id); }
    bool hasSystemMenu(const ui::Dialog& d) const override { return inner_.hasSystemMenu(d); }
    void appendSystemMenuSeparator(ui::Dialog& d) override { inner_.appendSystemMenuSeparator(d); }
    void appendSystemMenuItem(ui::Dialog& d, unsigned c, std::string_view t) override {
        inner_.appendSystemMenuItem(d, c, t);
    }
    std::vector<unsigned> systemMenuCommands(const ui::Dialog& d) const override {
        return inner_.systemMenuCommands(d);
    }
    void setIcon(ui::Dialog& d, ui::Icon i, bool big) override { inner_.setIcon(d, i, big); }
    void messageBox(std::string_view t, std::string_view c, ui::MessageIcon i) override { inner_.messageBox(t, c, i); }
    void click(ui::Dialog& d, int id) override { inner_.click(d, id); }
    void typeText(ui::Dialog& d, int id, std::string_view t) override { inner_.typeText(d, id, t); }
    void selectItem(ui::Dialog& d, int id, int i) override { inner_.selectItem(d, id, i); }
    void spin(ui::Dialog& d, int id, bool up) override { inner_.spin(d, id, up); }
    void pressKey(ui::Dialog& d, ui::Key k) override { inner_.pressKey(d, k); }
    void closeBox(ui::Dialog& d) override { inner_.closeBox(d); }
    void chooseSystemCommand(ui::Dialog& d, unsigned c) override { inner_.chooseSystemCommand(d, c); }
    void screenshot(ui::Dialog& d, const std::string& p) override { inner_.screenshot(d, p); }

private:
    ui::Backend& inner_;
};

TEST(ReportDialogSelectViewer, AsksForAnExistingProgramStartingFromTheConfirmedPath) {
    ui::HeadlessSession session(
        "select 1074 2\n"
        "click 1051\n"                         // chosen
        "expect text 1069 \"/opt/first viewer\"\n"
        "type 1069 \"typed, not confirmed\"\n"
        "click 1051\n"                         // cancelled
        "expect text 1069 \"typed, not confirmed\"\n"
        "click 1106\n");
    FileDialogSpy spy(session.backend());
    struct Current {
        ui::Backend* previous;
        ~Current() { ui::setBackend(previous); }
    } current{ui::setBackend(&spy)};
    spy.answers = {"/opt/first viewer", std::nullopt};

    // A project name no settings file has: the viewer path starts empty.
    CReportDlg dlg("vszeb-no-such-project-settings", app::kEclipse, "/project", "ec");
    const int result = dlg.doModal();
    session.finish();

    EXPECT_EQ(result, ui::IDCANCEL);
    ASSERT_EQ(spy.shown.size(), 2u);
    const ui::FileDialogOptions& first = spy.shown[0];
    EXPECT_EQ(first.defaultExtension, "exe");
    EXPECT_EQ(first.initialName, "");
    EXPECT_EQ(first.filter, "Executables (*.exe;*.com;*.bat;*.cmd)|*.exe;*.com;*.bat;*.cmd|All Files (*.*)|*.*||");
    EXPECT_EQ(first.title, "Select viewer program");
    EXPECT_TRUE(first.fileMustExist);
    EXPECT_TRUE(first.noChangeDirectory);
    EXPECT_TRUE(first.hideReadOnly);
    // The second dialog starts from the path the first one chose; the text
    // typed into the edit since then is not the field yet.
    EXPECT_EQ(spy.shown[1].initialName, "/opt/first viewer");
    // Cancelled: the field keeps the chosen path.
    EXPECT_EQ(dlg.viewerPath, "/opt/first viewer");
}

TEST(ReportDialogContext, ProjectDirectoryIdeKindAndCodeReachTheirPlaces) {
    ui::HeadlessSession session(
        "expect text 1160 \"Demo Two\"\n"
        "expect text 1185 \"C:\\\\Work\\\\...\\\\Demo Two\"\n"
        "expect items 1074 \"HTML report\" \"Untested report to uVision\" \"Profile listing (textual)\" "
        "\"Untested listing (textual)\" \"Timing listing (textual)\" \"XML report\"\n"
        "type 1135 \"-fd\"\n"
        "click 1105\n"
        "messagebox \"ZEB++/uVision\" \"zebpost option -fd not allowed\\nin Additional/advanced options.\"\n"
        "click 1106\n");
    CReportDlg dlg("Demo Two", app::kUVision, "C:\\Work\\...\\Demo Two", "uv");
    EXPECT_EQ(dlg.doModal(), ui::IDCANCEL);
    session.finish();
    EXPECT_EQ(dlg.settingsFileName, "Demo Two.zeb");
}

}  // namespace
