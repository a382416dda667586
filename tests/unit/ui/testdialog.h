// A small dialog with one control of every kind, that records what it is told.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/dialog.h"

namespace uitest {

using namespace ui;

inline constexpr ControlTemplate kTestControls[] = {
    {10, ControlKind::Edit, "", 0, 0, 10, 10, TabStop | AutoHScroll},
    {11, ControlKind::Edit, "", 0, 0, 10, 10, TabStop | DigitsOnly},
    {12, ControlKind::Edit, "", 0, 0, 10, 10, TabStop | MultiLine | WantReturn},
    {kNoId, ControlKind::StaticText, "Label", 0, 0, 10, 10, 0},
    {20, ControlKind::CheckBox, "Auto", 0, 0, 10, 10, TabStop | Automatic},
    {21, ControlKind::CheckBox, "Manual", 0, 0, 10, 10, TabStop},
    {30, ControlKind::RadioButton, "A", 0, 0, 10, 10, TabStop | Automatic | GroupStart},
    {31, ControlKind::RadioButton, "B", 0, 0, 10, 10, Automatic},
    {32, ControlKind::RadioButton, "C", 0, 0, 10, 10, Automatic},
    {33, ControlKind::RadioButton, "D", 0, 0, 10, 10, TabStop | Automatic | GroupStart},
    {40, ControlKind::ComboBox, "", 0, 0, 10, 10, TabStop | DropDownList | GroupStart},
    {41, ControlKind::Edit, "", 0, 0, 10, 10, TabStop},
    {42, ControlKind::Spin, "Spin", 0, 0, 10, 10, SpinSetBuddyInt | SpinAutoBuddy},
    {100, ControlKind::DefPushButton, "&Go", 0, 0, 10, 10, TabStop},
    {101, ControlKind::PushButton, "&Other", 0, 0, 10, 10, TabStop},
    {50, ControlKind::GroupBox, "Group", 0, 0, 10, 10, 0},
};

inline constexpr DialogTemplate kTestTemplate = {
    900, "Test dialog", 100, 100, "MS Sans Serif", 8, Popup | Caption | SystemMenu | ModalFrame, kTestControls};

class TestDialog : public Dialog {
public:
    TestDialog() : Dialog(kTestTemplate) {}

    std::vector<std::string> log;
    std::function<bool(TestDialog&)> init;          // replaces the initialisation when set
    std::function<void(DataExchange&)> exchange;    // the data exchange
    std::function<void(TestDialog&)> onOther;       // button 101

    const MessageMapBase* messageMap() const override { return &map; }
    using Dialog::onCancel;
    using Dialog::onOK;

protected:
    bool onInitDialog() override {
        comboAdd(40, "zero");
        comboAdd(40, "one");
        comboAdd(40, "two");
        return init ? init(*this) : Dialog::onInitDialog();
    }
    void doDataExchange(DataExchange& dx) override {
        if (exchange) exchange(dx);
    }

private:
    void onGo() { log.push_back("go"); }
    void onOtherClicked() {
        log.push_back("other");
        if (onOther) onOther(*this);
    }
    void onAuto() { log.push_back("auto " + std::to_string(isChecked(20))); }
    void onManual() { log.push_back("manual " + std::to_string(isChecked(21))); }
    void onRadio() { log.push_back("radio"); }
    void onSelChange() { log.push_back("sel " + std::to_string(comboSelection(40))); }
    void onSysCommand(unsigned cmd) {
        log.push_back("sys " + std::to_string(cmd));
        defaultSysCommand(cmd);
    }
    static const MessageMap<TestDialog> map;
};

inline const MessageMap<TestDialog> TestDialog::map = {
    {
        {100, Notify::Clicked, &TestDialog::onGo},
        {101, Notify::Clicked, &TestDialog::onOtherClicked},
        {20, Notify::Clicked, &TestDialog::onAuto},
        {21, Notify::Clicked, &TestDialog::onManual},
        {31, Notify::Clicked, &TestDialog::onRadio},
        {40, Notify::SelChange, &TestDialog::onSelChange},
    },
    &TestDialog::onSysCommand};

}  // namespace uitest
