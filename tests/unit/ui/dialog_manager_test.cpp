// The dialog manager's rules, run on the headless back end through scripts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/about.h"
#include "testdialog.h"
#include "ui/headless/headless.h"
#include "ui/managed.h"

namespace {

using uitest::TestDialog;

struct Outcome {
    int result = 0;
    std::vector<std::string> log;
};

Outcome run(const std::string& script, const std::function<void(TestDialog&)>& setup = {}) {
    ui::HeadlessSession session(script);
    TestDialog dlg;
    if (setup) setup(dlg);
    Outcome out;
    out.result = dlg.doModal();
    out.log = dlg.log;
    session.finish();
    return out;
}

std::string failure(const std::string& script, const std::function<void(TestDialog&)>& setup = {}) {
    try {
        run(script, setup);
    } catch (const ui::ScriptFailure& f) {
        return f.what();
    }
    return "no failure";
}

using Log = std::vector<std::string>;

TEST(DialogManager, DefaultFocusIsTheFirstEnabledTabStop) {
    EXPECT_EQ(run("expect focus 10\nclose").result, ui::IDCANCEL);
    run("expect focus 11\nclose", [](TestDialog& d) {
        d.init = [](TestDialog& self) {
            self.enableItem(10, false);
            return false;
        };
    });
    // a dialog that sets the focus itself keeps it
    run("expect focus 101\nclose", [](TestDialog& d) {
        d.init = [](TestDialog& self) {
            self.setFocus(101);
            return true;
        };
    });
}

TEST(DialogManager, ClicksToggleAutomaticBoxesAndNotify) {
    const auto out = run(
        "click 20\nexpect checked 20 yes\nexpect focus 20\nclick 20\nexpect checked 20 no\n"
        "click 21\nexpect checked 21 no\nclose");
    EXPECT_EQ(out.log, (Log{"auto 1", "auto 0", "manual 0"}));
}

TEST(DialogManager, AutomaticRadioButtonsClearTheirGroupOnly) {
    const auto out = run(
        "click 33\nclick 30\nexpect checked 30 yes\nclick 31\n"
        "expect checked 31 yes\nexpect checked 30 no\nexpect checked 32 no\nexpect checked 33 yes\n"
        "click 31\nexpect checked 31 yes\nclose");
    EXPECT_EQ(out.log, (Log{"radio", "radio"}));
}

TEST(DialogManager, ReturnPressesTheFocusedOrTheDefaultButton) {
    // A click gives the focus but not the default look: Return still presses
    // the default button. Tab and the program's own focus move the look.
    EXPECT_EQ(run("key return\nclick 101\nkey return\ntype 41 \"\"\nkey tab\nkey tab\nexpect focus 101\n"
                  "key return\nclick 20\nkey return\nclose")
                  .log,
              (Log{"go", "other", "go", "other", "auto 1", "go"}));
    EXPECT_EQ(run("key return\nkey tab\nkey return\nclose",
                  [](TestDialog& d) {
                      d.init = [](TestDialog& self) {
                          self.setFocus(101);
                          return true;
                      };
                  })
                  .log,
              (Log{"other", "go"}));
    // a disabled default button: Return does nothing, also with the focus on
    // another push button that was clicked
    EXPECT_EQ(run("key return\nclick 101\nkey return\nclose",
                  [](TestDialog& d) {
                      d.init = [](TestDialog& self) {
                          self.enableItem(100, false);
                          return false;
                      };
                  })
                  .log,
              Log{"other"});
}

TEST(DialogManager, ReturnInAMultiLineEditStartsANewLine) {
    const auto out = run("type 12 \"one\"\nkey return\nexpect text 12 \"one\\r\\n\"\nclose");
    EXPECT_TRUE(out.log.empty());
}

TEST(DialogManager, ReturnWithoutADefaultButtonIsOk) {
    // The About box's OK is id 1 (IDOK); it ends through the framework's OK.
    ui::HeadlessSession session("dialog \"About ZEB++ IDE Integration\"\nexpect focus 1\nkey return");
    CAboutDlg about;
    EXPECT_EQ(about.doModal(), ui::IDOK);
    session.finish();
}

TEST(DialogManager, EscapeCloseBoxAndSystemCloseCancel) {
    EXPECT_EQ(run("key escape").result, ui::IDCANCEL);
    EXPECT_EQ(run("close").result, ui::IDCANCEL);
    const auto out = run("syscommand 61536");
    EXPECT_EQ(out.result, ui::IDCANCEL);
    EXPECT_EQ(out.log, Log{"sys 61536"});
    // The low four bits are the system's own; Windows' dialog manager masks them.
    EXPECT_EQ(run("syscommand 61539").result, ui::IDCANCEL);
    // Move is in the menu but does nothing
    EXPECT_EQ(run("syscommand 61456\nclose").log, Log{"sys 61456"});
}

TEST(DialogManager, EndDialogCarriesTheResult) {
    const auto out = run("click 101", [](TestDialog& d) { d.onOther = [](TestDialog& self) { self.endDialog(7); }; });
    EXPECT_EQ(out.result, 7);
    // ended during initialisation: no line is asked for
    EXPECT_EQ(run("", [](TestDialog& d) {
                  d.init = [](TestDialog& self) {
                      self.endDialog(5);
                      return false;
                  };
              }).result,
              5);
}

TEST(DialogManager, TabVisitsEnabledTabStopsAndWraps) {
    run("expect focus 10\nkey tab\nexpect focus 11\nkey tab\nexpect focus 12\nkey tab\nexpect focus 21\n"
        "key tab\nexpect focus 30\nkey tab\nexpect focus 33\nclick 101\nkey tab\nexpect focus 10\nclose",
        [](TestDialog& d) {
            d.init = [](TestDialog& self) {
                self.enableItem(20, false);
                return false;
            };
        });
}

TEST(DialogManager, DisablingTheFocusedControlTakesTheFocusAndTabStartsAtTheFirst) {
    run("key tab\nexpect focus 10\nclose", [](TestDialog& d) {
        d.init = [](TestDialog& self) {
            self.setFocus(12);
            self.enableItem(12, false);
            return true;
        };
    });
}

TEST(DialogManager, TabEntersARadioGroupAtItsCheckedButton) {
    // 31 has no tab stop of its own; once checked it takes the group's from 30
    run("click 31\nclick 21\nkey tab\nexpect focus 31\nkey tab\nexpect focus 33\nclose");
    // the dialog's own check counts as well, and a cleared group has no stop left
    run("click 21\nkey tab\nexpect focus 32\nclick 21\nclick 101\nclick 21\nkey tab\nexpect focus 33\nclose",
        [](TestDialog& d) {
            d.init = [](TestDialog& self) {
                self.setCheck(30, false);
                self.setCheck(31, false);
                self.setCheck(32, true);
                return false;
            };
            d.onOther = [](TestDialog& self) { self.setCheck(32, false); };
        });
}

TEST(DialogManager, TypedTextFollowsTheEditStyle) {
    run("type 11 \"1a2-3 4\"\nexpect text 11 \"1234\"\nexpect focus 11\n"
        "type 10 \"first\\r\\nsecond\"\nexpect text 10 \"first\"\nexpect focus 10\n"
        "type 12 \"first\\r\\nsecond\"\nexpect text 12 \"first\\r\\nsecond\"\n"
        "type 10 \"\"\nexpect text 10 \"\"\nclose");
}

TEST(DialogManager, AOneLineEditKeepsTheTextUpToItsFirstLineBreak) {
    // The rule of every paste into a one-line edit, whichever back end shows it.
    EXPECT_EQ(ui::oneLineText("first\necho X"), "first");
    EXPECT_EQ(ui::oneLineText("first \r\nsecond\nthird"), "first ");
    EXPECT_EQ(ui::oneLineText("old Mac\rline"), "old Mac");
    EXPECT_EQ(ui::oneLineText("\nall after a leading break"), "");
    EXPECT_EQ(ui::oneLineText("no break at all "), "no break at all ");
    EXPECT_EQ(ui::oneLineText(""), "");
}

TEST(DialogManager, SelectChangesEntry) {
    const auto out = run("expect items 40 \"zero\" \"one\" \"two\"\nselect 40 2\nexpect selected 40 2\nexpect text 40 \"two\"\nexpect focus 40\nclose");
    EXPECT_EQ(out.log, Log{"sel 2"});
}

TEST(DialogManager, SpinStepsTheBuddyWithinTheRange) {
    // default range lower 100, upper 0: "up" counts down
    run("type 41 \"50\"\nspin 42 up\nexpect text 41 \"49\"\nspin 42 down\nspin 42 down\nexpect text 41 \"51\"\n"
        "type 41 \"100\"\nspin 42 down\nexpect text 41 \"100\"\nclose");
    // A text that is no number within the range is not read: the step starts
    // from the control's own position, 0 at first.
    run("type 41 \"150\"\nspin 42 up\nexpect text 41 \"1\"\n"
        "type 41 \"99\"\nspin 42 up\nexpect text 41 \"100\"\nspin 42 up\nexpect text 41 \"100\"\n"
        "type 41 \"x\"\nspin 42 up\nexpect text 41 \"x\"\nspin 42 down\nexpect text 41 \"99\"\n"
        "type 41 \"-5\"\nspin 42 down\nexpect text 41 \"98\"\ntype 41 \"+-5\"\nspin 42 up\nexpect text 41 \"99\"\n"
        "type 41 \"+9\"\nspin 42 up\nexpect text 41 \"10\"\ntype 41 \"99\"\nspin 42 down\nexpect text 41 \"98\"\n"
        "type 41 \" 7\"\nspin 42 down\nexpect text 41 \"6\"\ntype 41 \"7 \"\nspin 42 down\nexpect text 41 \"5\"\n"
        "type 41 \"\"\nspin 42 up\nexpect text 41 \"1\"\nclose",
        [](TestDialog& d) {
            d.init = [](TestDialog& self) {
                self.spinSetRange(42, 0, 100);
                return false;
            };
        });
    // with its buddy disabled the control does nothing
    run("spin 42 up\nexpect text 41 \"75\"\nspin 42 down\nexpect text 41 \"75\"\nclose", [](TestDialog& d) {
        d.init = [](TestDialog& self) {
            self.spinSetRange(42, 0, 100);
            self.setItemText(41, "75");
            self.enableItem(41, false);
            return false;
        };
    });
}

TEST(DialogManager, NestedModalDialogs) {
    const auto out = run(
        "dialog \"Test dialog\"\nclick 101\ndialog \"About ZEB++ IDE Integration\"\nclick 1\n"
        "dialog \"Test dialog\"\nexpect focus 101\nclose",
        [](TestDialog& d) {
            d.onOther = [](TestDialog& self) {
                CAboutDlg about;
                self.log.push_back("about " + std::to_string(about.doModal()));
            };
        });
    EXPECT_EQ(out.log, (Log{"other", "about 1"}));
}

TEST(DialogManager, SystemMenuHoldsWhatWasAppended) {
    // the low four bits are the system's own: the command reaches the dialog as sent
    const auto out = run("syscommand 16\nsyscommand 31\nclose", [](TestDialog& d) {
        d.init = [](TestDialog& self) {
            EXPECT_TRUE(self.hasSystemMenu());
            self.appendSystemMenuSeparator();
            self.appendSystemMenuItem(16, "&About");
            return false;
        };
    });
    EXPECT_EQ(out.log, (Log{"sys 16", "sys 31"}));
    EXPECT_EQ(failure("syscommand 16"),
              "vsZEB script: line 1: expected command 16 in the system menu of the dialog \"Test dialog\", found none");
    EXPECT_EQ(failure("syscommand 32"),
              "vsZEB script: line 1: expected command 32 in the system menu of the dialog \"Test dialog\", found none");
}

TEST(ScriptFailures, SayWhatWasExpectedAndFound) {
    struct Case {
        std::string script;
        std::string message;
    };
    const Case cases[] = {
        {"dialog \"Other\"", "line 1: expected the dialog \"Other\", found the dialog \"Test dialog\""},
        {"\nexpect text 100 \"Go\"", "line 2: expected the text \"Go\" in control 100, found \"&Go\""},
        {"expect checked 20 yes", "line 1: expected control 20 checked, found it cleared"},
        {"expect checked 10 yes", "line 1: expected a check box or radio button with id 10, found an edit box"},
        {"expect enabled 20 no", "line 1: expected control 20 disabled, found it enabled"},
        {"expect focus 11", "line 1: expected the focus on control 11, found it on control 10"},
        {"expect items 40 \"zero\"", "line 1: expected the entries \"zero\" in control 40, found \"zero\" \"one\" \"two\""},
        {"expect selected 40 1", "line 1: expected entry 1 selected in control 40, found none"},
        {"click 999", "line 1: expected control 999 in the dialog \"Test dialog\", found none"},
        {"click 10", "line 1: expected a button, check box or radio button with id 10, found an edit box"},
        {"type 20 \"x\"", "line 1: expected an edit box with id 20, found a check box"},
        {"select 40 3", "line 1: expected an entry 3 in combo box 40, found 3 entries"},
        {"spin 41 up", "line 1: expected a spin button with id 41, found an edit box"},
        {"click 1", "line 1: expected control 1 in the dialog \"Test dialog\", found none"},
        {"click 20", "line 1: expected control 20 to be enabled for click 20, found it disabled"},
        {"messagebox \"A\" \"B\"", "line 1: expected messagebox \"A\" \"B\", found the dialog \"Test dialog\" waiting for input"},
        {"filedialog cancel", "line 1: expected filedialog cancel, found the dialog \"Test dialog\" waiting for input"},
        {"# only a comment\nexpect focus 10",
         "line 3: expected more lines, found the end of the script while the dialog \"Test dialog\" is still open"},
        {"close\nclick 1", "line 2: expected click 1, found the end of the program"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failure(c.script,
                          [&](TestDialog& d) {
                              if (c.script == "click 20")
                                  d.init = [](TestDialog& self) {
                                      self.enableItem(20, false);
                                      return false;
                                  };
                          }),
                  "vsZEB script: " + c.message)
            << c.script;
    }
}

TEST(ScriptFailures, MessageBoxesMustBeAnswered) {
    const auto showBox = [](TestDialog& d) {
        d.onOther = [](TestDialog&) { ui::messageBox("Line one\nline two", "Caption"); };
    };
    EXPECT_EQ(run("click 101\nmessagebox \"Caption\" \"Line one\\nline two\"\nclose", showBox).log, Log{"other"});
    EXPECT_EQ(failure("click 101\nmessagebox \"Caption\" \"Line one\"", showBox),
              "vsZEB script: line 2: expected the message box \"Caption\" \"Line one\", found a message box "
              "\"Caption\" \"Line one\\nline two\"");
    EXPECT_EQ(failure("click 101\nmessagebox \"Other caption\" \"Line one\\nline two\"", showBox),
              "vsZEB script: line 2: expected the message box \"Other caption\" \"Line one\\nline two\", found a "
              "message box \"Caption\" \"Line one\\nline two\"");
    EXPECT_EQ(failure("click 101\nclose", showBox),
              "vsZEB script: line 2: expected close, found a message box \"Caption\" \"Line one\\nline two\"");
    EXPECT_EQ(failure("click 101", showBox),
              "vsZEB script: line 2: expected the end of the program, found a message box \"Caption\" \"Line one\\nline two\"");
}

TEST(ScriptFailures, FileDialogsAreAnsweredWithAPathOrCancel) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vszeb-file-dialog-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir / "sub");
    std::ofstream(dir / "viewer") << "";
    std::ofstream(dir / "tool.exe") << "";
    std::ofstream(dir / "viewer.exe") << "";
    const std::string d = dir.string();
    std::vector<std::string> answers;
    bool mustExist = true;
    const auto choose = [&](TestDialog& t) {
        t.onOther = [&](TestDialog&) {
            ui::FileDialogOptions o;
            o.title = "Select viewer program";
            o.fileMustExist = mustExist;
            o.defaultExtension = "exe";
            const auto path = ui::openFileDialog(o);
            answers.push_back(path ? *path : "<cancel>");
        };
    };
    // the answer comes back as the full path, as the dialog returns it, with
    // the default extension when a file with it is there
    run("click 101\nfiledialog \"" + d + "/sub/../viewer\"\nclick 101\nfiledialog cancel\nclick 101\nfiledialog \"" + d +
            "/tool\"\nclose",
        choose);
    EXPECT_EQ(answers, (std::vector<std::string>{d + "/viewer.exe", "<cancel>", d + "/tool.exe"}));
    // a file that is not there is no answer to a dialog that asks for one
    EXPECT_EQ(failure("click 101\nfiledialog \"" + d + "/missing\"", choose),
              "vsZEB script: line 2: expected an existing file for filedialog \"" + d + "/missing\", found none at " +
                  d + "/missing");
    EXPECT_EQ(failure("click 101\nfiledialog \"" + d + "/sub\"", choose),
              "vsZEB script: line 2: expected an existing file for filedialog \"" + d + "/sub\", found none at " + d +
                  "/sub");
    mustExist = false;
    answers.clear();
    run("click 101\nfiledialog \"" + d + "/new\"\nclick 101\nfiledialog \"" + d + "/sub/new.txt\"\nclose", choose);
    EXPECT_EQ(answers, (std::vector<std::string>{d + "/new", d + "/sub/new.txt"}));
    EXPECT_EQ(failure("click 101\nfiledialog \"\"", choose).substr(0, 64),
              "vsZEB script: line 2: expected an existing file for filedialog \"");
    EXPECT_EQ(failure("click 101\nmessagebox \"A\" \"B\"", choose),
              "vsZEB script: line 2: expected messagebox \"A\" \"B\", found the file-open dialog \"Select viewer program\"");
    std::filesystem::remove_all(dir);
}

TEST(ScriptFailures, EndTheProcessWithStatusThree) {
    EXPECT_EXIT(
        {
            ui::HeadlessBackend backend;
            ui::ScriptDriver driver(backend, ui::parseScript("\nclick 5").script);
            driver.programEnded();
        },
        ::testing::ExitedWithCode(3), "^vsZEB script: line 2: expected click 5, found the end of the program\n$");
}

}  // namespace
