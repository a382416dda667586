// The four dialog templates of the program, control by control in template
// (tab) order, as the resource script of the original dialogs lays them out.
//
// Tab stops: where the layout tables of the Report dialog (133) name no tab
// stop, the controls get what a resource editor gives them: every push
// button, check box, edit and combo box is a tab stop, and of the coverage
// view radio buttons only the first (1071), which starts the group, so that
// Tab enters the group once. Its edits get the border that a resource editor
// gives every edit box. Template 157 carries no popup style: its table lists
// only modal frame, caption, system menu and foreground, and a dialog without
// a parent shows the same either way.
//
// The Clean dialog's sentence (1131) is 226 units wide, where the original
// has 186: that held it only in the bitmap MS Sans Serif at 96 DPI. In the
// outline font of a high-DPI screen, and in another system's sans serif, it
// was cut off after "project/".
#include "res/resources.h"

namespace res {
namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;
using ui::kNoId;
using namespace ui;  // style flags

constexpr const char* kFont = "MS Sans Serif";

constexpr ControlTemplate kAboutControls[] = {
    {kNoId, ControlKind::StaticIcon, "128", 12, 12, 20, 20, 0},
    {kNoId, ControlKind::StaticText, "- Microsoft Visual Studio IDE", 42, 42, 102, 8, 0},
    {1, ControlKind::DefPushButton, "&OK", 84, 108, 36, 14, TabStop | GroupStart},
    {kNoId, ControlKind::StaticText, "- also in some other IDE integrations", 42, 54, 126, 8, 0},
    {kNoId, ControlKind::StaticText, "ZEB++ IDE Integration v" VSZEB_VERSION_SHORT, 42, 12, 102, 8, 0},
    {kNoId, ControlKind::StaticText, "Used in", 42, 30, 36, 8, 0},
};

constexpr ControlTemplate kReportControls[] = {
    {1074, ControlKind::ComboBox, "", 54, 60, 130, 77, DropDownList | VScroll | TabStop},
    {1071, ControlKind::RadioButton, "As instrumented", 24, 90, 66, 8, Automatic | GroupStart | TabStop},
    {1182, ControlKind::RadioButton, "Reduced to MC/DC coverage", 24, 102, 116, 8, Automatic},
    {1072, ControlKind::RadioButton, "Reduced to condition coverage", 24, 114, 114, 8, Automatic},
    {1073, ControlKind::RadioButton, "Reduced to decision coverage", 168, 90, 114, 8, Automatic},
    {1134, ControlKind::RadioButton, "Reduced to function coverage", 168, 102, 114, 8, Automatic},
    {1196, ControlKind::Edit, "", 78, 150, 216, 12, GroupStart | AutoHScroll | Border | TabStop},
    {1135, ControlKind::Edit, "", 48, 168, 246, 12, AutoHScroll | Border | TabStop},
    {1096, ControlKind::StaticText, "Coverage threshold:", 18, 210, 66, 8, 0},
    {1070, ControlKind::Edit, "", 90, 210, 30, 12, DigitsOnly | RightAligned | Border | TabStop},
    {1076, ControlKind::Spin, "Spin2", 120, 210, 11, 14,
     SpinAutoBuddy | SpinSetBuddyInt | SpinAlignRight | SpinArrowKeys | SpinNoThousands},
    {1097, ControlKind::StaticText, "%", 126, 210, 8, 8, 0},
    {1186, ControlKind::Edit, "", 18, 234, 276, 12, AutoHScroll | Border | TabStop},
    {1068, ControlKind::CheckBox, "&Invoke viewer", 18, 278, 144, 10, Automatic | TabStop},
    {1069, ControlKind::Edit, "", 18, 294, 216, 12, AutoHScroll | Border | TabStop},
    {1051, ControlKind::PushButton, "Select...", 246, 294, 48, 15, TabStop},
    {1105, ControlKind::DefPushButton, "&OK", 144, 331, 48, 14, TabStop},
    {1106, ControlKind::PushButton, "C&ancel", 198, 331, 48, 14, TabStop},
    {1195, ControlKind::PushButton, "&Help", 252, 331, 48, 14, TabStop},
    {1080, ControlKind::GroupBox, "Coverage view", 12, 78, 288, 54, 0},
    {1163, ControlKind::GroupBox, "Additional/advanced options (zebpost)", 12, 138, 288, 54, 0},
    {1187, ControlKind::GroupBox, "Additional/advanced options (zeb2html)", 12, 198, 288, 60, 0},
    {1078, ControlKind::GroupBox, "Viewer", 12, 265, 288, 54, 0},
    {1184, ControlKind::StaticText, "Directory:", 12, 18, 36, 8, 0},
    {1185, ControlKind::StaticText, "123456789012345678901234567890123456789012345678901234567890", 54, 18, 246, 8, 0},
    {1164, ControlKind::StaticText, "Symbolfile:", 12, 30, 38, 8, 0},
    {1166, ControlKind::StaticText, "Symbol file time", 54, 30, 246, 8, 0},
    {1165, ControlKind::StaticText, "Datafile:", 12, 43, 36, 8, 0},
    {1167, ControlKind::StaticText, "Data file time", 54, 43, 246, 8, 0},
    {1092, ControlKind::StaticText, "Report type:", 12, 60, 42, 8, 0},
    {1103, ControlKind::StaticText, "Project:", 12, 6, 36, 8, 0},
    {1160, ControlKind::StaticText, "ProjectName", 54, 6, 246, 8, 0},
    {1197, ControlKind::StaticText, "Symbol/datafiles:", 18, 150, 54, 8, 0},
    {1198, ControlKind::StaticText, "Options:", 18, 168, 26, 8, 0},
};

constexpr ControlTemplate kCleanControls[] = {
    {1136, ControlKind::CheckBox, "ZEB++ reports (default filenames)", 12, 54, 126, 8, Automatic | TabStop},
    {1168, ControlKind::CheckBox, "ZEB++ symbolfile (MON.sym)", 12, 72, 120, 8, Automatic | TabStop},
    {1169, ControlKind::CheckBox, "ZEB++ datafile (MON.dat)", 12, 90, 120, 8, Automatic | TabStop},
    {1108, ControlKind::DefPushButton, "&OK", 78, 120, 50, 14, TabStop},
    {1109, ControlKind::PushButton, "C&ancel", 132, 120, 50, 14, TabStop},
    {1194, ControlKind::PushButton, "&Help", 186, 120, 50, 14, TabStop},
    {1107, ControlKind::StaticText, "Project:", 12, 6, 36, 8, 0},
    {1171, ControlKind::StaticText, "Projectname", 48, 6, 174, 8, 0},
    {1188, ControlKind::StaticText, "Directory:", 12, 18, 36, 8, 0},
    {1189, ControlKind::StaticText, "123456789012345678901234567890123456789012345678", 48, 18, 192, 8, 0},
    {1131, ControlKind::StaticText, "Clean deletes these ZEB++ files from the project/directory:", 12, 36, 226, 8, 0},
};

constexpr ControlTemplate kSetControls[] = {
    {1182, ControlKind::RadioButton, "ON", 174, 18, 30, 8, Automatic | GroupStart | TabStop},
    {1183, ControlKind::RadioButton, "OFF", 174, 30, 30, 8, Automatic | TabStop},
    {1191, ControlKind::RadioButton, "Function coverage", 30, 72, 78, 8, Automatic | GroupStart | TabStop},
    {1192, ControlKind::RadioButton, "Decision coverage", 30, 84, 78, 8, Automatic | TabStop},
    {1190, ControlKind::RadioButton, "Multicondition coverage", 30, 96, 96, 8, Automatic | TabStop},
    {1012, ControlKind::CheckBox, "&Timing", 180, 72, 36, 8, Automatic | TabStop},
    {1139, ControlKind::RadioButton, "Inclusive", 192, 84, 42, 8, Automatic | GroupStart | TabStop},
    {1138, ControlKind::RadioButton, "Exclusive", 192, 96, 42, 8, Automatic | TabStop},
    {1137, ControlKind::Edit, "", 24, 132, 240, 24,
     MultiLine | WantReturn | VScroll | AutoHScroll | AutoVScroll | Border | TabStop},
    {1178, ControlKind::DefPushButton, "&OK", 66, 186, 48, 14, TabStop},
    {1111, ControlKind::PushButton, "C&ancel", 120, 186, 48, 14, TabStop},
    {1043, ControlKind::PushButton, "&Clean...", 174, 186, 48, 14, TabStop},
    {1193, ControlKind::PushButton, "&Help", 228, 186, 48, 14, TabStop},
    {1181, ControlKind::GroupBox, "Set Mode", 12, 6, 264, 36, 0},
    {1177, ControlKind::StaticText, "ZEB++ Mode will be set ...", 18, 18, 144, 8, 0},
    {1180, ControlKind::GroupBox, "Set instrumentation options", 12, 48, 264, 126, 0},
    {1058, ControlKind::GroupBox, "Coverage instrumentation", 18, 60, 144, 54, 0},
    {1061, ControlKind::GroupBox, "Timing instrumentation", 168, 60, 102, 54, 0},
    {1140, ControlKind::GroupBox, "Additional/advanced options (zeb)", 18, 120, 252, 42, 0},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "About ZEB++ IDE Integration", 214, 137, kFont, 8,
     Popup | Caption | SystemMenu | ModalFrame, kAboutControls},
    {IDD_REPORT, "ZEB++ Report", 310, 354, kFont, 8,
     Visible | Popup | Caption | SystemMenu | ModalFrame | SetForeground, kReportControls},
    {IDD_CLEAN, "ZEB++ Clean", 250, 145, kFont, 8,
     Popup | Caption | SystemMenu | ModalFrame | SetForeground, kCleanControls},
    {IDD_SET, "ZEB++ Set/Clean", 286, 210, kFont, 8,
     ModalFrame | Caption | SystemMenu | SetForeground, kSetControls},
};

}  // namespace

const ui::DialogTemplate* dialogTemplate(int id) {
    for (const auto& t : kTemplates)
        if (t.id == id) return &t;
    return nullptr;
}

std::string_view loadString(int id) {
    if (id == IDS_ABOUTBOX) return "&About ZEB++ IDE Integration";
    return {};
}

}  // namespace res
