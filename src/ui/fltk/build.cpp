// Building a dialog's window from its template: a widget for each control,
// placed by its dialog units, with the room that the font here needs.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdint>
#include <string>

#include "res/resources.h"
#include "ui/fltk/backend.h"
#include "ui/fltk/text.h"

namespace ui::fltk {

namespace {

// An edit box's height in dialog units (a combo box closed is as high).
constexpr int kEditHeight = 12;
// A static text, check box or radio button at most this high holds one line.
constexpr int kOneLineHeight = 10;

}  // namespace

// Icon resource `id` as RGBA images, each image `scale` times its size.
std::vector<std::unique_ptr<Fl_RGB_Image>> iconImages(int id, int scale) {
    std::vector<std::unique_ptr<Fl_RGB_Image>> out;
    for (const res::IconImage& img : res::iconImages(id)) {
        const int size = img.size * scale;
        auto* data = new uchar[static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4];
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const auto at = static_cast<std::size_t>((y / scale) * img.size + x / scale);
                const std::uint32_t rgb = img.palette[img.pixels[at]];
                uchar* px = data + (static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)) * 4;
                px[0] = static_cast<uchar>(rgb >> 16);
                px[1] = static_cast<uchar>(rgb >> 8);
                px[2] = static_cast<uchar>(rgb);
                px[3] = img.mask[at] ? 0 : 255;
            }
        }
        auto image = std::make_unique<Fl_RGB_Image>(data, size, size, 4);
        image->alloc_array = 1;
        out.push_back(std::move(image));
    }
    return out;
}

void FltkBackend::setWindowIcons(DialogWindow& w, const std::vector<std::unique_ptr<Fl_RGB_Image>>& images) {
    std::vector<const Fl_RGB_Image*> list;
    for (const auto& img : images) list.push_back(img.get());
    w.icons(list.data(), static_cast<int>(list.size()));
}

void FltkBackend::build(Shown& s) {
    const DialogTemplate& t = s.dlg->dialogTemplate();
    s.caption = std::string(t.caption);
    s.window = std::make_unique<DialogWindow>(px(t.cx), py(t.cy), s);
    DialogWindow& w = *s.window;
    w.copy_label(s.caption.c_str());
    w.xclass(kWindowClass);
    w.set_modal();
    for (const ControlTemplate& c : t.controls) {
        s.controls.push_back(makeControl(s, c));
        if (c.kind == ControlKind::DefPushButton) s.defaultLook = c.id;
    }
    // An up-down control that aligns itself to the right of its buddy
    // takes its place at the buddy's right edge, the buddy giving up the width.
    for (std::size_t i = 1; i < s.controls.size(); ++i) {
        Control& spin = s.controls[i];
        Control& buddy = s.controls[i - 1];
        if (spin.tmpl->kind != ControlKind::Spin || !(spin.tmpl->style & SpinAlignRight) ||
            buddy.tmpl->kind != ControlKind::Edit)
            continue;
        Fl_Widget* b = buddy.widget;
        const int sw = spin.widget->w();
        b->resize(b->x(), b->y(), std::max(sw, b->w() - sw), b->h());
        spin.widget->resize(b->x() + b->w(), b->y(), sw, b->h());
    }
    w.end();
    giveLabelsRoom(s);
    setWindowIcons(w, appIcons_);
    const int sx = Fl::x() + (Fl::w() - w.w()) / 2, sy = Fl::y() + (Fl::h() - w.h()) / 2;
    w.position(std::max(0, sx), std::max(0, sy));
}

// The template's widths were made for the narrower font of Windows: a
// one-line label whose text does not fit takes the free room to its right
// (up to the next control on its row, the group box around it or the
// dialog's edge) rather than being cut.
void FltkBackend::giveLabelsRoom(Shown& s) const {
    const int dialogRight = s.window->w() - px(4);
    for (Control& c : s.controls) {
        const ControlKind k = c.tmpl->kind;
        const bool button = k == ControlKind::CheckBox || k == ControlKind::RadioButton;
        if ((k != ControlKind::StaticText && !button) || c.tmpl->cy > kOneLineHeight) continue;
        Fl_Widget* w = c.widget;
        if (c.text.empty()) continue;
        int tw = 0, th = 0;
        fl_font(w->labelfont(), w->labelsize());
        fl_measure(c.text.c_str(), tw, th, 0);
        const int needed = tw + 1 + (button ? w->labelsize() + 4 + labelGap(w->labelsize()) : 0);
        if (needed <= w->w()) continue;
        int limit = dialogRight;
        for (const Control& d : s.controls) {
            const Fl_Widget* o = d.widget;
            if (&d == &c || o->y() >= w->y() + w->h() || o->y() + o->h() <= w->y()) continue;
            if (o->x() > w->x())
                limit = std::min(limit, o->x() - 2);
            else if (d.tmpl->kind == ControlKind::GroupBox && o->x() + o->w() > w->x())
                limit = std::min(limit, o->x() + o->w() - px(2));
        }
        w->size(std::max(w->w(), std::min(needed, limit - w->x())), w->h());
    }
}

Control FltkBackend::makeControl(Shown& s, const ControlTemplate& c) {
    Control out;
    out.tmpl = &c;
    out.tabStop = (c.style & TabStop) != 0;
    const Owner owner{&s, c.id};
    const int x = px(c.x), y = py(c.y), w = px(c.cx), h = py(c.cy);
    const std::string text(c.text);
    switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            out.widget = new PushButton(x, y, w, h, owner, true);
            break;
        case ControlKind::CheckBox:
            out.widget = new CheckButton(x, y, w, h, owner, false);
            break;
        case ControlKind::RadioButton:
            out.widget = new RadioButton(x, y, w, h, owner, false);
            break;
        case ControlKind::GroupBox:
            out.widget = new GroupBox(x, y, w, h, px(4));
            break;
        case ControlKind::StaticText:
            out.widget = new StaticText(x, y, w, h, c.cy <= kOneLineHeight, !(c.style & NoPrefix));
            break;
        case ControlKind::StaticIcon: {
            if (c.text == kErrorIconText || c.text == kWarningIconText) {
                const int size = 32 * iconScale_;
                out.widget = new MessageIconBox(x, y, size, size, c.text == kErrorIconText);
                break;
            }
            auto* box = new Fl_Box(x, y, 32 * iconScale_, 32 * iconScale_);
            auto images = iconImages(std::stoi(text), iconScale_);
            if (!images.empty()) {
                box->image(images.back().get());
                for (auto& img : images) s.images.push_back(std::move(img));
            }
            box->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT);
            out.widget = box;
            break;
        }
        case ControlKind::Edit:
            if (c.style & MultiLine) {
                const int barWidth = (c.style & VScroll) ? std::max(Fl::scrollbar_size(), px(8) * 3 / 4) : 0;
                auto* bar = barWidth ? new EditScrollBar(x + w - barWidth, y, barWidth, h) : nullptr;
                auto* editor = new MultiLineEdit(x, y, w - barWidth, h, bar);
                out.extra = bar;
                s.buffers.push_back(std::make_unique<Fl_Text_Buffer>());
                out.buffer = s.buffers.back().get();
                editor->buffer(out.buffer);
                editor->textfont(FL_HELVETICA);
                editor->textsize(static_cast<Fl_Fontsize>(fontPixels_));
                out.widget = editor;
            } else {
                auto* edit = new EditBox(x, y, w, py(kEditHeight), (c.style & DigitsOnly) != 0);
                edit->textfont(FL_HELVETICA);
                edit->textsize(static_cast<Fl_Fontsize>(fontPixels_));
                out.widget = edit;
            }
            break;
        case ControlKind::ComboBox: {
            auto* list = new DropDownList(x, y, w, py(kEditHeight) + 1, owner);
            list->textsize(static_cast<Fl_Fontsize>(fontPixels_));
            out.widget = list;
            break;
        }
        case ControlKind::Spin:
            out.widget = new SpinArrows(x, y, w, h, owner);
            break;
    }
    if (c.kind != ControlKind::ComboBox && c.kind != ControlKind::Edit && c.kind != ControlKind::StaticIcon) {
        out.text = text;
        out.widget->copy_label(fltk::labelText(text).c_str());
    }
    out.widget->labelfont(FL_HELVETICA);
    out.widget->labelsize(static_cast<Fl_Fontsize>(fontPixels_));
    return out;
}

}  // namespace ui::fltk
