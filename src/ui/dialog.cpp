// ui::Dialog and ui::DataExchange: the part of the Win32 dialog manager and
// of the framework's dialog class that the dialogs rely on, independent of
// the back end that shows them.
#include "ui/dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "res/resources.h"
#include "ui/backend.h"
#include "ui/messages.h"
#include "ui/ui.h"

namespace ui {

Dialog::Dialog(int templateId) : templateId_(templateId), template_(res::dialogTemplate(templateId)) {
    if (!template_) throw std::invalid_argument("no dialog template " + std::to_string(templateId));
}

Dialog::Dialog(const DialogTemplate& dialogTemplate)
    : templateId_(dialogTemplate.id), template_(&dialogTemplate) {}

Dialog::~Dialog() = default;

int Dialog::doModal() {
    running_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{running_};
    backend().runModal(*this);
    return result_;
}

void Dialog::endDialog(int result) {
    result_ = result;
    ended_ = true;
    if (running_) backend().endModal(*this);
}

bool Dialog::initialize() { return onInitDialog(); }

bool Dialog::onInitDialog() {
    updateData(false);
    return false;
}

void Dialog::doDataExchange(DataExchange&) {}

bool Dialog::updateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    try {
        doDataExchange(dx);
    } catch (const DataExchange::Failure&) {
        return false;
    }
    return true;
}

void Dialog::command(int id, Notify code) {
    if (const MessageMapBase* map = messageMap(); map && map->dispatchCommand(*this, id, code)) return;
    if (code != Notify::Clicked) return;
    if (id == IDOK)
        onOK();
    else if (id == IDCANCEL)
        onCancel();
}

void Dialog::sysCommand(unsigned command) {
    if (const MessageMapBase* map = messageMap(); map && map->dispatchSysCommand(*this, command)) return;
    defaultSysCommand(command);
}

void Dialog::defaultSysCommand(unsigned command) {
    if ((command & 0xFFF0u) == SC_CLOSE) close();
}

// As the window manager's close: the dialog is told IDCANCEL was clicked.
void Dialog::close() { command(IDCANCEL, Notify::Clicked); }

void Dialog::onOK() {
    if (updateData(true)) endDialog(IDOK);
}

void Dialog::onCancel() { endDialog(IDCANCEL); }

// Control operations: only a dialog with a window has controls.
void Dialog::setItemText(int id, std::string_view text) {
    if (window_) backend().setItemText(*this, id, text);
}
std::string Dialog::itemText(int id) const { return window_ ? backend().itemText(*this, id) : std::string(); }
void Dialog::setCheck(int id, bool checked) {
    if (window_) backend().setCheck(*this, id, checked);
}
bool Dialog::isChecked(int id) const { return window_ && backend().isChecked(*this, id); }
void Dialog::enableItem(int id, bool enabled) {
    if (window_) backend().enableItem(*this, id, enabled);
}
bool Dialog::isItemEnabled(int id) const { return window_ && backend().isItemEnabled(*this, id); }
void Dialog::setFocus(int id) {
    if (window_) backend().setFocus(*this, id);
}
int Dialog::focusedItem() const { return window_ ? backend().focusedItem(*this) : kNoId; }
void Dialog::comboReset(int id) {
    if (window_) backend().comboReset(*this, id);
}
void Dialog::comboAdd(int id, std::string_view text) {
    if (window_) backend().comboAdd(*this, id, text);
}
void Dialog::comboSetSelection(int id, int index) {
    if (window_) backend().comboSetSelection(*this, id, index);
}
int Dialog::comboSelection(int id) const { return window_ ? backend().comboSelection(*this, id) : -1; }
int Dialog::comboCount(int id) const { return window_ ? backend().comboCount(*this, id) : 0; }
std::string Dialog::comboItemText(int id, int index) const {
    return window_ ? backend().comboItem(*this, id, index) : std::string();
}
int Dialog::comboFind(int id, std::string_view text) const {
    const int n = comboCount(id);
    for (int i = 0; i < n; ++i)
        if (comboItemText(id, i) == text) return i;
    return -1;
}
void Dialog::spinSetRange(int id, int lower, int upper) {
    if (window_) backend().spinSetRange(*this, id, lower, upper);
}
bool Dialog::hasSystemMenu() const { return window_ && backend().hasSystemMenu(*this); }
void Dialog::appendSystemMenuSeparator() {
    if (window_) backend().appendSystemMenuSeparator(*this);
}
void Dialog::appendSystemMenuItem(unsigned command, std::string_view text) {
    if (window_) backend().appendSystemMenuItem(*this, command, text);
}
void Dialog::setIcon(Icon icon, bool big) {
    if (window_) backend().setIcon(*this, icon, big);
}

// ---------------------------------------------------------------- data exchange

void DataExchange::text(int id, std::string& value) {
    if (saving_)
        value = dlg_.itemText(id);
    else
        dlg_.setItemText(id, value);
}

void DataExchange::check(int id, int& value) {
    if (saving_)
        value = dlg_.isChecked(id) ? 1 : 0;
    else
        dlg_.setCheck(id, value != 0);
}

void DataExchange::comboIndex(int id, int& value) {
    if (saving_)
        value = dlg_.comboSelection(id);
    else
        dlg_.comboSetSelection(id, value);
}

std::optional<unsigned> scanUnsigned(std::string_view text) {
    const std::string s(text);  // strtoul needs the terminating zero
    const char* p = s.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    const char first = *p;
    if (first == '-') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(p, &end, 10);
    // A value that does not fit saturates, as strtoul does where unsigned
    // long is 32 bits wide, so that a range check rejects it rather than
    // seeing the value cut to its low bits.
    if (errno == ERANGE || v > UINT_MAX) v = UINT_MAX;
    if (v == 0 && first != '0') return std::nullopt;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return std::nullopt;
    return static_cast<unsigned>(v);
}

void DataExchange::number(int id, unsigned& value) {
    if (!saving_) {
        dlg_.setItemText(id, std::to_string(value));
        return;
    }
    const auto v = scanUnsigned(dlg_.itemText(id));
    if (!v) fail(id, std::string(msg::kEnterPositiveInteger));
    value = *v;
}

void DataExchange::range(int id, unsigned value, unsigned min, unsigned max) {
    if (!saving_ || (value >= min && value <= max)) return;
    std::string text(msg::kEnterIntegerBetween);
    const auto put = [&text](std::string_view placeholder, unsigned v) {
        if (const auto at = text.find(placeholder); at != std::string::npos)
            text.replace(at, placeholder.size(), std::to_string(v));
    };
    put("%1", min);
    put("%2", max);
    fail(id, text);
}

void DataExchange::fail(int id, const std::string& message) {
    const App* app = currentApp();
    messageBox(message, app ? std::string_view(app->appName) : std::string_view("vsZEB"), MessageIcon::Exclamation);
    dlg_.setFocus(id);
    throw Failure{};
}

}  // namespace ui
