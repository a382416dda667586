// The FLTK back end: every dialog is an X11 window built from its template,
// laid out from its dialog units with the base units of an 8-point sans serif
// font at the X server's DPI, as Windows lays out the same template. FLTK has
// no dialog manager of its own, so every key and click that the dialog
// manager would see is routed into the rules of ui::ManagedBackend, the same
// rules that the headless back end and the script driver use: an event
// dispatch function takes the dialog keys before FLTK's own navigation does,
// and the buttons hand their clicks to those rules instead of toggling
// themselves. A script runs from the event loop, one line per timeout.
//
// Its jobs, one file each: the back end's state and the framework's control
// operations (backend.cpp), building a window from a template and laying it
// out (build.cpp), the person's keys and the system menu (keys.cpp), the
// message box, file chooser and pictures (services.cpp), what only X11 does
// (x11.cpp), and the module's entry point (module.cpp). The widgets are in
// widgets.h, the rules that need no toolkit in layout.cpp and text.cpp.
#pragma once

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Text_Buffer.H>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/fltk/layout.h"
#include "ui/fltk/widgets.h"
#include "ui/managed.h"

namespace ui::fltk {

inline constexpr int kTemplateFontPoints = 8;
inline constexpr const char* kWindowClass = "vsZEB";
// What a message box's icon control holds instead of a resource number.
inline constexpr std::string_view kErrorIconText = "error";
inline constexpr std::string_view kWarningIconText = "warning";

class FltkBackend;

struct Control {
    const ControlTemplate* tmpl = nullptr;
    std::string text;                  // the label's text as the program gave it
    Fl_Widget* widget = nullptr;
    Fl_Text_Buffer* buffer = nullptr;  // a multi-line edit's text
    Fl_Widget* extra = nullptr;        // and its scroll bar
    bool tabStop = false;
    std::vector<std::string> items;
    int spinLower = 100, spinUpper = 0;  // an up-down control's default range
    int spinPosition = 0;
};

// A dialog while its window is shown; its widgets' input goes to the back
// end's rules as long as it is the dialog on top.
struct Shown final : DialogInput {
    explicit Shown(FltkBackend& b, Dialog& d) : backend(b), dlg(&d) {}

    FltkBackend& backend;
    Dialog* dlg = nullptr;
    std::unique_ptr<DialogWindow> window;
    std::vector<Control> controls;
    std::vector<std::pair<unsigned, std::string>> sysMenu;
    std::vector<std::unique_ptr<Fl_Text_Buffer>> buffers;
    std::vector<std::unique_ptr<Fl_RGB_Image>> images;
    std::string caption;
    int defaultLook = kNoId;

    Control* find(int id) {
        if (id == kNoId) return nullptr;
        for (auto& c : controls)
            if (c.tmpl->id == id) return &c;
        return nullptr;
    }
    const Control* find(int id) const { return const_cast<Shown*>(this)->find(id); }

    void click(int id) override;
    void spin(int id, bool up) override;
    void select(int id, int index) override;
    void contextMenu(int x, int y) override;
    void closeBox() override;
    bool drawnAsDefault(int id) const override;
    bool buddyEnabled(int spinId) const override;

private:
    bool takesInput() const;
};

// Icon resource `id` as RGBA images, each image `scale` times its size.
std::vector<std::unique_ptr<Fl_RGB_Image>> iconImages(int id, int scale);

class FltkBackend final : public ManagedBackend {
public:
    explicit FltkBackend(double dpi);
    ~FltkBackend() override;
    std::string_view name() const override { return "fltk"; }
    void runModal(Dialog& dlg) override;
    Dialog* topDialog() const override { return stack_.empty() ? nullptr : stack_.back()->dlg; }
    std::string caption(const Dialog& dlg) const override { return shown(dlg) ? shown(dlg)->caption : std::string(); }
    bool hasControl(const Dialog& dlg, int id) const override { return control(dlg, id) != nullptr; }
    void setItemText(Dialog& dlg, int id, std::string_view text) override;
    std::string itemText(const Dialog& dlg, int id) const override;
    void setCheck(Dialog& dlg, int id, bool checked) override;
    bool isChecked(const Dialog& dlg, int id) const override;
    void enableItem(Dialog& dlg, int id, bool enabled) override;
    bool isItemEnabled(const Dialog& dlg, int id) const override;
    bool hasTabStop(const Dialog& dlg, int id) const override;
    void giveFocus(Dialog& dlg, int id) override;
    int defaultLook(const Dialog& dlg) const override { return shown(dlg) ? shown(dlg)->defaultLook : kNoId; }
    void setDefaultLook(Dialog& dlg, int id) override;
    int focusedItem(const Dialog& dlg) const override;
    void comboReset(Dialog& dlg, int id) override;
    void comboAdd(Dialog& dlg, int id, std::string_view text) override;
    void comboSetSelection(Dialog& dlg, int id, int index) override;
    int comboSelection(const Dialog& dlg, int id) const override;
    int comboCount(const Dialog& dlg, int id) const override;
    std::string comboItem(const Dialog& dlg, int id, int index) const override;
    void spinSetRange(Dialog& dlg, int id, int lower, int upper) override;
    std::pair<int, int> spinRange(const Dialog& dlg, int id) const override;
    int spinPosition(const Dialog& dlg, int id) const override;
    void spinSetPosition(Dialog& dlg, int id, int position) override;
    bool hasSystemMenu(const Dialog& dlg) const override;
    void appendSystemMenuSeparator(Dialog& dlg) override;
    void appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) override;
    std::vector<unsigned> systemMenuCommands(const Dialog& dlg) const override;
    void setIcon(Dialog& dlg, Icon icon, bool big) override;
    void messageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
    void screenshot(Dialog& dlg, const std::string& path) override;
    // The system menu at a point of the window (a right click, Alt+Space).
    void contextMenu(Shown& s, int x, int y);
    // The X server has gone: ends the program as the IDE expects (see backend.cpp).
    [[noreturn]] void displayLost(const std::string& display);
    bool isTop(const Shown* s) const { return !stack_.empty() && stack_.back() == s; }
    Shown* top() const { return stack_.empty() ? nullptr : stack_.back(); }
    BaseUnits base() const { return base_; }
    int fontPixels() const { return fontPixels_; }

private:
    static Shown* shown(const Dialog& dlg) { return static_cast<Shown*>(window(dlg)); }
    static Control* control(const Dialog& dlg, int id);
    static Control* combo(const Dialog& dlg, int id);
    static Fl_Choice* choice(Control& c) { return static_cast<Fl_Choice*>(c.widget); }
    static void rebuildChoice(Control& c, int selected);
    static void redrawButtons(Shown& s);
    static void setWindowIcons(DialogWindow& w, const std::vector<std::unique_ptr<Fl_RGB_Image>>& images);
    int px(int dlu) const { return fltk::pixelsX(dlu, base_); }
    int py(int dlu) const { return fltk::pixelsY(dlu, base_); }
    void build(Shown& s);
    void giveLabelsRoom(Shown& s) const;
    Control makeControl(Shown& s, const ControlTemplate& c);
    void show(Shown& s);
    static void stepTimeout(void* data);
    static int dispatchEvent(int event, Fl_Window* window);
    bool key(Shown& s);
    bool openList(Shown& s);
    double dpi_;
    int fontPixels_ = 11;
    int iconScale_ = 1;
    BaseUnits base_;
    std::vector<std::unique_ptr<Fl_RGB_Image>> appIcons_;
    std::vector<Shown*> stack_;
};

}  // namespace ui::fltk
