#include <gtest/gtest.h>

#include "testdialog.h"
#include "ui/headless/headless.h"

namespace {

using uitest::TestDialog;

TEST(DataExchange, ScanOfAnUnsignedEdit) {
    struct Case {
        const char* text;
        std::optional<unsigned> value;
    };
    const Case cases[] = {
        {"42", 42u},       {"0", 0u},         {" \t7\t ", 7u},   {"007", 7u},     {"+5", 5u},
        {"", std::nullopt}, {"  ", std::nullopt}, {"-1", std::nullopt}, {" -0", std::nullopt},
        {"abc", std::nullopt}, {"12abc", std::nullopt}, {"1 2", std::nullopt}, {"+0", std::nullopt},
        {"4294967295", 4294967295u},
        // too large for 32 bits: the largest value, never its low bits
        {"4294967297", 4294967295u}, {"99999999999999999999999", 4294967295u},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::scanUnsigned(c.text), c.value) << '"' << c.text << '"';
}

// The threshold's exchange: an unsigned edit with a range, as the Report dialog has it.
struct Threshold {
    unsigned value = 30;
    std::string name = "start";
    int box = 1;
    int choice = 2;
};

TEST(DataExchange, OkSavesAndEndsWithIdOk) {
    Threshold t;
    ui::HeadlessSession session(
        "expect text 10 \"30\"\nexpect text 12 \"start\"\nexpect checked 20 yes\nexpect selected 40 2\n"
        "type 10 \" 100 \"\ntype 12 \"end\"\nclick 20\nselect 40 0\nclick 101");
    TestDialog dlg;
    dlg.exchange = [&t](ui::DataExchange& dx) {
        dx.text(12, t.name);
        dx.check(20, t.box);
        dx.comboIndex(40, t.choice);
        dx.number(10, t.value);
        dx.range(10, t.value, 0, 100);
    };
    dlg.onOther = [](TestDialog& self) { self.onOK(); };
    EXPECT_EQ(dlg.doModal(), ui::IDOK);
    session.finish();
    EXPECT_EQ(t.value, 100u);
    EXPECT_EQ(t.name, "end");
    EXPECT_EQ(t.box, 0);
    EXPECT_EQ(t.choice, 0);
}

TEST(DataExchange, BadNumbersShowTheFrameworkMessageAndKeepTheDialogOpen) {
    Threshold t;
    ui::HeadlessSession session(
        "type 10 \"101\"\nclick 101\nmessagebox \"vsZEB\" \"Enter an integer between 0 and 100.\"\n"
        "expect focus 10\n"
        "type 10 \"\"\nclick 101\nmessagebox \"vsZEB\" \"Enter a positive integer.\"\nexpect focus 10\n"
        "type 10 \"x\"\nclick 101\nmessagebox \"vsZEB\" \"Enter a positive integer.\"\n"
        "type 10 \"4294967297\"\nclick 101\nmessagebox \"vsZEB\" \"Enter an integer between 0 and 100.\"\n"
        "type 10 \"0\"\nclick 101");
    TestDialog dlg;
    std::vector<bool> saved;
    dlg.exchange = [&t](ui::DataExchange& dx) {
        dx.number(10, t.value);
        dx.range(10, t.value, 0, 100);
    };
    dlg.onOther = [&saved](TestDialog& self) {
        const bool ok = self.updateData(true);
        saved.push_back(ok);
        if (ok) self.endDialog(ui::IDOK);
    };
    EXPECT_EQ(dlg.doModal(), ui::IDOK);
    session.finish();
    EXPECT_EQ(saved, (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(t.value, 0u);
}

}  // namespace
