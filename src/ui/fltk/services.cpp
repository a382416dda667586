// The framework's services shown to a person: the message box, the file
// chooser, and pictures of a dialog.
#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "sys/env.h"
#include "sys/files.h"
#include "ui/fltk/backend.h"
#include "ui/fltk/text.h"
#include "ui/png.h"

namespace ui::fltk {

// A message box is a dialog of its own, laid out around its text as Windows
// lays one out: icon, text, and the OK button centred below.
void FltkBackend::messageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    const BaseUnits b = base_;
    fl_font(FL_HELVETICA, fontPixels_);
    int tw = 0, th = 0;
    const std::string body = wrapText(text, messageTextLimit(Fl::w()), [](std::string_view piece) {
        return static_cast<int>(std::ceil(fl_width(piece.data(), static_cast<int>(piece.size()))));
    });
    fl_measure(body.c_str(), tw, th, 0);
    const MessageBoxLayout m = messageBoxLayout(tw, th, 32 * iconScale_, b);
    const std::string captionText(caption);
    const ControlTemplate controls[] = {
        {kNoId, ControlKind::StaticIcon, icon == MessageIcon::Error ? kErrorIconText : kWarningIconText, m.icon.x,
         m.icon.y, m.icon.cx, m.icon.cy, 0},
        {kNoId, ControlKind::StaticText, body, m.text.x, m.text.y, m.text.cx, m.text.cy, NoPrefix},
        {IDOK, ControlKind::DefPushButton, "OK", m.button.x, m.button.y, m.button.cx, m.button.cy,
         TabStop | GroupStart},
    };
    const DialogTemplate t{0, captionText, m.cx, m.cy, "", kTemplateFontPoints, Popup | Caption | SystemMenu | ModalFrame,
                           controls};
    Dialog box(t);
    box.doModal();
}

std::optional<std::string> FltkBackend::openFileDialog(const FileDialogOptions& options) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(options.title.c_str());
    const std::string filter = chooserFilter(options.filter);
    if (!filter.empty()) chooser.filter(filter.c_str());
    const std::string& start = options.initialName;
    const std::size_t slash = start.rfind('/');
    const std::string dir = slash == std::string::npos ? sys::currentDirectory().value_or("") : start.substr(0, slash);
    const std::string file = slash == std::string::npos ? start : start.substr(slash + 1);
    if (!dir.empty()) chooser.directory(dir.c_str());
    if (!file.empty()) chooser.preset_file(file.c_str());
    while (true) {
        if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return std::nullopt;
        std::string chosen = chooser.filename();
        if (!options.fileMustExist || sys::fileExists(chosen)) return chosen;
    }
}

void FltkBackend::screenshot(Dialog& dlg, const std::string& path) {
    Shown* s = shown(dlg);
    if (!s) return;
    DialogWindow& w = *s->window;
    Fl::flush();
    const int width = w.w(), height = w.h();
    Fl_Offscreen off = fl_create_offscreen(width, height);
    fl_begin_offscreen(off);
    w.paintAll();
    uchar* pixels = fl_read_image(nullptr, 0, 0, width, height);
    fl_end_offscreen();
    fl_delete_offscreen(off);
    std::vector<std::uint8_t> rgb;
    if (pixels) rgb.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    delete[] pixels;
    writeScreenshot(path, rgb.empty() ? 0 : width, rgb.empty() ? 0 : height, rgb);
}

}  // namespace ui::fltk
