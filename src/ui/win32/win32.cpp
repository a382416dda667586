// The Win32 back end: every dialog is built from its template into an
// in-memory dialog template and run by Windows' own dialog manager with the
// real controls. A script acts on those controls with the messages that a
// user's clicks and keys produce, one line per timer tick of the dialog's own
// modal loop, so that the dialog is shown and painted between the steps.
// The framework's headers come first: they name IDOK, IDCANCEL and SC_CLOSE
// themselves, with the values that <windows.h> then defines as macros.
#include "sys/console.h"
#include "ui/backend.h"
#include "ui/managed.h"
#include "ui/messages.h"
#include "ui/script.h"
#include "ui/messages.h"
#include "ui/png.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ui {

namespace {

constexpr UINT_PTR kStepTimer = 1;
constexpr UINT kStepDelayMs = 1;
constexpr WORD kNoIdWord = 0xFFFF;

struct Window {
    Dialog* dlg = nullptr;
    HWND hwnd = nullptr;
};

// ---------------------------------------------------------------- templates

class TemplateWriter {
public:
    void word(WORD w) { data_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(std::string_view s) {
        if (!s.empty()) {
            const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
            std::wstring w(static_cast<std::size_t>(n), L'\0');
            MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
            for (wchar_t c : w) word(static_cast<WORD>(c));
        }
        word(0);
    }
    void alignDword() {
        if (data_.size() % 2) word(0);
    }
    const WORD* data() const { return data_.data(); }

private:
    std::vector<WORD> data_;
};

DWORD dialogStyle(std::uint32_t s) {
    DWORD style = DS_SETFONT;
    if (s & Popup) style |= WS_POPUP;
    if (s & Caption) style |= WS_CAPTION;
    if (s & SystemMenu) style |= WS_SYSMENU;
    if (s & ModalFrame) style |= DS_MODALFRAME;
    if (s & SetForeground) style |= DS_SETFOREGROUND;
    if (s & Visible) style |= WS_VISIBLE;
    return style;
}

DWORD controlStyle(const ControlTemplate& c) {
    const std::uint32_t s = c.style;
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (s & TabStop) style |= WS_TABSTOP;
    if (s & GroupStart) style |= WS_GROUP;
    if (s & VScroll) style |= WS_VSCROLL;
    if (s & HScroll) style |= WS_HSCROLL;
    if (s & Border) style |= WS_BORDER;
    const bool automatic = s & Automatic;
    switch (c.kind) {
        case ControlKind::PushButton: return style | BS_PUSHBUTTON;
        case ControlKind::DefPushButton: return style | BS_DEFPUSHBUTTON;
        case ControlKind::CheckBox: return style | (automatic ? BS_AUTOCHECKBOX : BS_CHECKBOX);
        case ControlKind::RadioButton: return style | (automatic ? BS_AUTORADIOBUTTON : BS_RADIOBUTTON);
        case ControlKind::GroupBox: return style | BS_GROUPBOX;
        case ControlKind::StaticText: return style | SS_LEFT;
        case ControlKind::StaticIcon: return style | SS_ICON;
        case ControlKind::Edit:
            if (s & MultiLine) style |= ES_MULTILINE;
            if (s & WantReturn) style |= ES_WANTRETURN;
            if (s & AutoVScroll) style |= ES_AUTOVSCROLL;
            if (s & AutoHScroll) style |= ES_AUTOHSCROLL;
            if (s & DigitsOnly) style |= ES_NUMBER;
            return style | ((s & RightAligned) ? ES_RIGHT : ES_LEFT);
        case ControlKind::ComboBox:
            if (s & Sorted) style |= CBS_SORT;
            return style | ((s & DropDownList) ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
        case ControlKind::Spin:
            if (s & SpinAutoBuddy) style |= UDS_AUTOBUDDY;
            if (s & SpinSetBuddyInt) style |= UDS_SETBUDDYINT;
            if (s & SpinAlignRight) style |= UDS_ALIGNRIGHT;
            if (s & SpinArrowKeys) style |= UDS_ARROWKEYS;
            if (s & SpinNoThousands) style |= UDS_NOTHOUSANDS;
            return style;
    }
    return style;
}

// The predefined class atoms of a dialog item template.
WORD classAtom(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit: return 0x0081;
        case ControlKind::StaticText:
        case ControlKind::StaticIcon: return 0x0082;
        case ControlKind::ComboBox: return 0x0085;
        case ControlKind::Spin: return 0;
        default: return 0x0080;
    }
}

// DLGTEMPLATE, then one DLGITEMTEMPLATE per control, as a resource compiler
// lays them out.
TemplateWriter buildTemplate(const DialogTemplate& t) {
    TemplateWriter w;
    w.dword(dialogStyle(t.windowStyle));
    w.dword(0);
    w.word(static_cast<WORD>(t.controls.size()));
    w.word(0);
    w.word(0);
    w.word(static_cast<WORD>(t.cx));
    w.word(static_cast<WORD>(t.cy));
    w.word(0);  // no menu
    w.word(0);  // the standard dialog class
    w.text(t.caption);
    w.word(static_cast<WORD>(t.pointSize));
    w.text(t.font);
    for (const ControlTemplate& c : t.controls) {
        w.alignDword();
        w.dword(controlStyle(c));
        w.dword(0);
        w.word(static_cast<WORD>(c.x));
        w.word(static_cast<WORD>(c.y));
        w.word(static_cast<WORD>(c.cx));
        w.word(static_cast<WORD>(c.cy));
        w.word(c.id == kNoId ? kNoIdWord : static_cast<WORD>(c.id));
        if (const WORD atom = classAtom(c.kind)) {
            w.word(0xFFFF);
            w.word(atom);
        } else {
            w.text("msctls_updown32");
        }
        if (c.kind == ControlKind::StaticIcon) {
            w.word(0xFFFF);
            w.word(static_cast<WORD>(std::stoi(std::string(c.text))));
        } else {
            w.text(c.text);
        }
        w.word(0);  // no creation data
    }
    return w;
}

std::string windowText(HWND h) {
    if (!h) return {};
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    s.resize(static_cast<std::size_t>(GetWindowTextA(h, s.data(), n + 1)));
    return s;
}

// ---------------------------------------------------------------- the back end

class Win32Backend final : public Backend {
public:
    Win32Backend() {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
    }

    std::string_view name() const override { return "win32"; }

    void runModal(Dialog& dlg) override {
        const TemplateWriter tmpl = buildTemplate(dlg.dialogTemplate());
        Window w;
        w.dlg = &dlg;
        HWND owner = stack_.empty() ? nullptr : stack_.back()->hwnd;
        stack_.push_back(&w);
        struct Pop {
            Win32Backend& b;
            Dialog& d;
            ~Pop() {
                b.stack_.pop_back();
                setWindow(d, nullptr);
            }
        } pop{*this, dlg};
        SetLastError(ERROR_SUCCESS);
        const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr),
                                                  reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), owner,
                                                  &Win32Backend::dialogProc, reinterpret_cast<LPARAM>(&w));
        if (r == -1) {
            sys::writeErrorLine(msg::cannotCreateDialog(dlg.dialogTemplate().caption, GetLastError()));
            if (!dlg.hasEnded()) dlg.endDialog(IDCANCEL);
        }
    }

    void endModal(Dialog& dlg) override {
        if (HWND h = hwnd(dlg)) EndDialog(h, 0);
    }

    Dialog* topDialog() const override { return stack_.empty() ? nullptr : stack_.back()->dlg; }

    std::string caption(const Dialog& dlg) const override { return windowText(hwnd(dlg)); }
    bool hasControl(const Dialog& dlg, int id) const override { return item(dlg, id) != nullptr; }
    void setItemText(Dialog& dlg, int id, std::string_view text) override {
        if (HWND h = item(dlg, id)) SetWindowTextA(h, std::string(text).c_str());
    }
    std::string itemText(const Dialog& dlg, int id) const override { return windowText(item(dlg, id)); }
    void setCheck(Dialog& dlg, int id, bool checked) override {
        if (HWND h = item(dlg, id)) SendMessageA(h, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool isChecked(const Dialog& dlg, int id) const override {
        HWND h = item(dlg, id);
        return h && SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void enableItem(Dialog& dlg, int id, bool enabled) override {
        if (HWND h = item(dlg, id)) EnableWindow(h, enabled);
    }
    bool isItemEnabled(const Dialog& dlg, int id) const override {
        HWND h = item(dlg, id);
        return h && IsWindowEnabled(h);
    }
    void setFocus(Dialog& dlg, int id) override {
        // As the dialog manager moves it, so that the default button follows.
        if (HWND h = item(dlg, id)) SendMessageA(hwnd(dlg), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(h), TRUE);
    }
    int focusedItem(const Dialog& dlg) const override {
        HWND top = hwnd(dlg);
        HWND h = GetFocus();
        // A combo box's own edit has the focus for it: name the combo box.
        while (h && GetParent(h) != top) h = GetParent(h);
        if (!h) return kNoId;
        const int id = GetDlgCtrlID(h);
        return id == kNoIdWord ? kNoId : id;
    }
    void comboReset(Dialog& dlg, int id) override { send(dlg, id, CB_RESETCONTENT, 0, 0); }
    void comboAdd(Dialog& dlg, int id, std::string_view text) override {
        const std::string s(text);
        send(dlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    void comboSetSelection(Dialog& dlg, int id, int index) override {
        send(dlg, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    int comboSelection(const Dialog& dlg, int id) const override {
        const LRESULT r = send(dlg, id, CB_GETCURSEL, 0, 0);
        return r == CB_ERR ? -1 : static_cast<int>(r);
    }
    int comboCount(const Dialog& dlg, int id) const override {
        const LRESULT r = send(dlg, id, CB_GETCOUNT, 0, 0);
        return r == CB_ERR ? 0 : static_cast<int>(r);
    }
    std::string comboItem(const Dialog& dlg, int id, int index) const override {
        const LRESULT n = send(dlg, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n == CB_ERR) return {};
        std::string s(static_cast<std::size_t>(n) + 1, '\0');
        const LRESULT got = send(dlg, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
        s.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
        return s;
    }
    void spinSetRange(Dialog& dlg, int id, int lower, int upper) override {
        send(dlg, id, UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    }
    std::pair<int, int> spinRange(const Dialog& dlg, int id) const override {
        int lower = 0, upper = 0;
        send(dlg, id, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
        return {lower, upper};
    }
    bool hasSystemMenu(const Dialog& dlg) const override {
        return hwnd(dlg) && GetSystemMenu(hwnd(dlg), FALSE) != nullptr;
    }
    void appendSystemMenuSeparator(Dialog& dlg) override {
        if (HMENU m = GetSystemMenu(hwnd(dlg), FALSE)) AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
    }
    void appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) override {
        if (HMENU m = GetSystemMenu(hwnd(dlg), FALSE)) AppendMenuA(m, MF_STRING, command, std::string(text).c_str());
    }
    std::vector<unsigned> systemMenuCommands(const Dialog& dlg) const override {
        std::vector<unsigned> cmds;
        HMENU m = hwnd(dlg) ? GetSystemMenu(hwnd(dlg), FALSE) : nullptr;
        if (!m) return cmds;
        const int n = GetMenuItemCount(m);
        for (int i = 0; i < n; ++i) {
            const UINT cmd = GetMenuItemID(m, i);
            const UINT state = GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION);
            if (cmd != 0 && cmd != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR)))
                cmds.push_back(cmd);
        }
        return cmds;
    }
    void setIcon(Dialog& dlg, Icon icon, bool big) override {
        const int size = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
        HANDLE h = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon.resourceId), IMAGE_ICON, size, size,
                              LR_SHARED);
        if (h) SendMessageA(hwnd(dlg), WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(h));
    }

    void messageBox(std::string_view text, std::string_view caption, MessageIcon icon) override {
        const UINT style = MB_OK | MB_TASKMODAL | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONEXCLAMATION);
        MessageBoxA(nullptr, std::string(text).c_str(), std::string(caption).c_str(), style);
    }

    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override {
        std::string filter = options.filter;
        for (char& c : filter)
            if (c == '|') c = '\0';
        filter += '\0';
        std::vector<char> file(32768, '\0');
        options.initialName.copy(file.data(), file.size() - 1);
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = stack_.empty() ? nullptr : stack_.back()->hwnd;
        ofn.lpstrFilter = options.filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
        ofn.lpstrDefExt = options.defaultExtension.empty() ? nullptr : options.defaultExtension.c_str();
        ofn.Flags = OFN_EXPLORER;
        if (options.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
        if (options.noChangeDirectory) ofn.Flags |= OFN_NOCHANGEDIR;
        if (options.hideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
        if (!GetOpenFileNameA(&ofn)) return std::nullopt;
        return std::string(file.data());
    }

    // ------------------------------------------------------------ simulated input

    void click(Dialog& dlg, int id) override {
        // The button takes the focus and sends its notification as a mouse click does.
        SendMessageA(item(dlg, id), BM_CLICK, 0, 0);
    }
    void typeText(Dialog& dlg, int id, std::string_view text) override {
        setFocus(dlg, id);
        const ControlTemplate* c = dlg.dialogTemplate().find(id);
        const std::string input = c ? editInput(*c, text) : std::string(text);
        // WM_SETTEXT: the edit replaces its text and notifies EN_CHANGE. It
        // puts the caret at the start; typing leaves it after the last
        // character, where the next key (Return in a multi-line edit) acts.
        HWND h = item(dlg, id);
        SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(input.c_str()));
        const auto end = static_cast<WPARAM>(GetWindowTextLengthA(h));
        SendMessageA(h, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
    void selectItem(Dialog& dlg, int id, int index) override {
        HWND h = item(dlg, id);
        setFocus(dlg, id);
        SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // A choice made with the mouse notifies the dialog; CB_SETCURSEL does not.
        SendMessageA(hwnd(dlg), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
    }
    void spin(Dialog& dlg, int id, bool up) override {
        // A click on the upper or the lower arrow of the up-down control.
        HWND h = item(dlg, id);
        RECT r{};
        GetClientRect(h, &r);
        const LPARAM at = MAKELPARAM((r.right - r.left) / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(h, WM_LBUTTONUP, 0, at);
    }
    void pressKey(Dialog& dlg, Key key) override {
        // Through the dialog's own modal loop, which gives it to IsDialogMessage.
        const WPARAM vk = key == Key::Return ? VK_RETURN : key == Key::Escape ? VK_ESCAPE : VK_TAB;
        HWND target = GetFocus();
        if (!target || (target != hwnd(dlg) && !IsChild(hwnd(dlg), target))) target = hwnd(dlg);
        const UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0);
        PostMessageA(target, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
        PostMessageA(target, WM_KEYUP, vk, static_cast<LPARAM>(1 | (scan << 16) | (1u << 30) | (1u << 31)));
    }
    void closeBox(Dialog& dlg) override { SendMessageA(hwnd(dlg), WM_SYSCOMMAND, SC_CLOSE, 0); }
    void chooseSystemCommand(Dialog& dlg, unsigned command) override {
        SendMessageA(hwnd(dlg), WM_SYSCOMMAND, command, 0);
    }

    void screenshot(Dialog& dlg, const std::string& path) override {
        HWND h = hwnd(dlg);
        RECT r{};
        GetWindowRect(h, &r);
        const int width = r.right - r.left, height = r.bottom - r.top;
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::vector<std::uint8_t> rgb;
        if (bmp && width > 0 && height > 0) {
            HGDIOBJ old = SelectObject(mem, bmp);
            printWindow(h, mem);
            GdiFlush();
            rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
            const auto* px = static_cast<const std::uint8_t*>(bits);
            for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
                rgb[3 * i] = px[4 * i + 2];
                rgb[3 * i + 1] = px[4 * i + 1];
                rgb[3 * i + 2] = px[4 * i];
            }
            SelectObject(mem, old);
        }
        if (bmp) DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        // an image that could not be taken is written as none, which fails alike
        writeScreenshot(path, rgb.empty() ? 0 : width, rgb.empty() ? 0 : height, rgb);
    }

private:
    static HWND hwnd(const Dialog& dlg) {
        const auto* w = static_cast<const Window*>(window(dlg));
        return w ? w->hwnd : nullptr;
    }
    static HWND item(const Dialog& dlg, int id) {
        if (id == kNoId || !hwnd(dlg)) return nullptr;
        return GetDlgItem(hwnd(dlg), id);
    }
    static LRESULT send(const Dialog& dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
        HWND h = item(dlg, id);
        return h ? SendMessageA(h, msg, wp, lp) : 0;
    }

    // What the screen shows of the window: Wine's PrintWindow leaves the
    // controls out. The modal dialog is on top; it is painted anew, and the
    // message queue is looked at for a moment (without taking anything from
    // it), which lets Wine hand what was painted to the display.
    static void printWindow(HWND h, HDC dc) {
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (int i = 0; i < 10; ++i) {
            MSG m;
            PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        RECT r{};
        GetWindowRect(h, &r);
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }

    static Win32Backend& self() { return static_cast<Win32Backend&>(backend()); }

    bool isTop(const Window* w) const { return !stack_.empty() && stack_.back() == w; }

    void scheduleStep(HWND h) {
        if (script()) SetTimer(h, kStepTimer, kStepDelayMs, nullptr);
    }

    static INT_PTR CALLBACK dialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* w = reinterpret_cast<Window*>(GetWindowLongPtrA(h, DWLP_USER));
        switch (msg) {
            case WM_INITDIALOG: {
                w = reinterpret_cast<Window*>(lp);
                SetWindowLongPtrA(h, DWLP_USER, lp);
                w->hwnd = h;
                setWindow(*w->dlg, w);
                const bool focusSet = w->dlg->initialize();
                if (w->dlg->hasEnded()) {
                    EndDialog(h, 0);
                    return FALSE;
                }
                self().scheduleStep(h);
                // TRUE: Windows puts the focus on the first enabled tab stop.
                return focusSet ? FALSE : TRUE;
            }
            case WM_TIMER:
                if (wp != kStepTimer || !w) return FALSE;
                KillTimer(h, kStepTimer);
                if (self().isTop(w) && !w->dlg->hasEnded()) {
                    if (ScriptDriver* driver = self().script()) driver->step(*w->dlg);
                    if (!w->dlg->hasEnded()) self().scheduleStep(h);
                }
                return TRUE;
            case WM_COMMAND: {
                if (!w) return FALSE;
                const int id = LOWORD(wp);
                const UINT code = HIWORD(wp);
                if (code == BN_CLICKED)
                    w->dlg->command(id, Notify::Clicked);
                else if (code == CBN_SELCHANGE)
                    w->dlg->command(id, Notify::SelChange);
                return TRUE;
            }
            case WM_SYSCOMMAND: {
                if (!w) return FALSE;
                const auto cmd = static_cast<unsigned>(wp);
                w->dlg->sysCommand(cmd);
                // Move, minimise and the like stay the window's own.
                const unsigned masked = cmd & 0xFFF0u;
                return masked >= 0xF000u && masked != SC_CLOSE ? FALSE : TRUE;
            }
            case WM_CLOSE:
                if (w) w->dlg->close();
                return TRUE;
            default:
                return FALSE;
        }
    }

    std::vector<Window*> stack_;
};

const BackendRegistration kRegistration({"win32", [](std::string&) { return std::unique_ptr<Backend>(new Win32Backend); },
                                         [](bool) { return true; }});

}  // namespace

}  // namespace ui
