#include <gtest/gtest.h>

#include "ui/script.h"

namespace {

using ui::Key;
using ui::parseScript;
using ui::ScriptOp;

ui::ScriptAction parseOne(const std::string& line) {
    const auto parsed = parseScript(line);
    EXPECT_FALSE(parsed.error) << line << ": " << (parsed.error ? parsed.error->message : "");
    EXPECT_EQ(parsed.script.actions.size(), 1u) << line;
    return parsed.script.actions.empty() ? ui::ScriptAction{} : parsed.script.actions[0];
}

TEST(ScriptParser, EveryActionWithItsArguments) {
    struct Case {
        std::string line;
        ScriptOp op;
        int id;
        long long number;
        bool flag;
        std::vector<std::string> strings;
    };
    const Case cases[] = {
        {"dialog \"ZEB++ Set/Clean\"", ScriptOp::Dialog, 0, 0, false, {"ZEB++ Set/Clean"}},
        {"click 1182", ScriptOp::Click, 1182, 0, false, {}},
        {"type 1137 \"-v\"", ScriptOp::Type, 1137, 0, false, {"-v"}},
        {"select 1074 5", ScriptOp::Select, 1074, 5, false, {}},
        {"spin 1076 up", ScriptOp::Spin, 1076, 0, true, {}},
        {"spin 1076 down", ScriptOp::Spin, 1076, 0, false, {}},
        {"close", ScriptOp::Close, 0, 0, false, {}},
        {"syscommand 16", ScriptOp::SysCommand, 0, 16, false, {}},
        {"expect text 1177 \"ZEB++ Mode is OFF\"", ScriptOp::ExpectText, 1177, 0, false, {"ZEB++ Mode is OFF"}},
        {"expect checked 1182 yes", ScriptOp::ExpectChecked, 1182, 0, true, {}},
        {"expect checked 1182 no", ScriptOp::ExpectChecked, 1182, 0, false, {}},
        {"expect enabled 1139 no", ScriptOp::ExpectEnabled, 1139, 0, false, {}},
        {"expect focus 1178", ScriptOp::ExpectFocus, 1178, 0, false, {}},
        {"expect items 1074 \"A\" \"B c\"", ScriptOp::ExpectItems, 1074, 0, false, {"A", "B c"}},
        {"expect items 1074", ScriptOp::ExpectItems, 1074, 0, false, {}},
        {"expect selected 1074 0", ScriptOp::ExpectSelected, 1074, 0, false, {}},
        {"messagebox \"ZEB++/CodeWarrior\" \"Please select\"", ScriptOp::MessageBox, 0, 0, false,
         {"ZEB++/CodeWarrior", "Please select"}},
        {"filedialog \"/usr/bin/viewer\"", ScriptOp::FileDialog, 0, 0, false, {"/usr/bin/viewer"}},
        {"filedialog cancel", ScriptOp::FileDialog, 0, 0, true, {}},
        {"screenshot \"set.png\"", ScriptOp::Screenshot, 0, 0, false, {"set.png"}},
        {"\t  click   1  ", ScriptOp::Click, 1, 0, false, {}},
    };
    for (const auto& c : cases) {
        const auto a = parseOne(c.line);
        EXPECT_EQ(a.op, c.op) << c.line;
        EXPECT_EQ(a.id, c.id) << c.line;
        EXPECT_EQ(a.number, c.number) << c.line;
        EXPECT_EQ(a.flag, c.flag) << c.line;
        EXPECT_EQ(a.strings, c.strings) << c.line;
    }
}

TEST(ScriptParser, Keys) {
    EXPECT_EQ(parseOne("key return").key, Key::Return);
    EXPECT_EQ(parseOne("key escape").key, Key::Escape);
    EXPECT_EQ(parseOne("key tab").key, Key::Tab);
}

TEST(ScriptParser, StringEscapesAndQuotedBlanks) {
    EXPECT_EQ(parseOne(R"(type 1 "a \"b\" c\\d")").strings[0], "a \"b\" c\\d");
    EXPECT_EQ(parseOne(R"(type 1 "one\r\ntwo\n")").strings[0], "one\r\ntwo\n");
    EXPECT_EQ(parseOne(R"(type 1 "")").strings[0], "");
    EXPECT_EQ(parseOne(R"(type 1 "  # not a comment  ")").strings[0], "  # not a comment  ");
}

TEST(ScriptParser, QuotingRoundTrips) {
    const std::string text = "a \"q\" \\ \n\r end";
    const auto a = parseOne("type 1 " + ui::quoteScriptString(text));
    EXPECT_EQ(a.strings[0], text);
}

TEST(ScriptParser, BlankAndCommentLinesKeepLineNumbers) {
    const auto parsed = parseScript("# start\n\n   \n  # indented comment\r\nclick 1\r\n\nclose");
    ASSERT_FALSE(parsed.error);
    ASSERT_EQ(parsed.script.actions.size(), 2u);
    EXPECT_EQ(parsed.script.actions[0].line, 5);
    EXPECT_EQ(parsed.script.actions[0].source, "click 1");
    EXPECT_EQ(parsed.script.actions[1].line, 7);
    EXPECT_EQ(parsed.script.lineCount, 7);
}

TEST(ScriptParser, ErrorsNameTheLine) {
    struct Case {
        std::string script;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"click 1\nfrobnicate 2", 2, "unknown action \"frobnicate\""},
        {"click", 1, "expected a control id"},
        {"click x1", 1, "expected a control id, found \"x1\""},
        {"click -1", 1, "expected a control id, found \"-1\""},
        {"click 1 2", 1, "unexpected \"2\" at the end of the line"},
        {"dialog About", 1, "expected the caption in double quotes"},
        {"\n\ntype 1 \"open", 3, "a string has no closing double quote"},
        {"type 1 \"a\\tb\"", 1, "unknown escape \\t in a string"},
        {"type 1 \"a\\", 1, "a string ends in a lone backslash"},
        {"type 1 \"a\"b", 1, "a string must be followed by a blank"},
        {"key space", 1, "expected return, escape or tab, found \"space\""},
        {"spin 1076 left", 1, "expected up or down, found \"left\""},
        {"expect checked 1 maybe", 1, "expected yes or no, found \"maybe\""},
        {"expect colour 1", 1, "unknown expectation \"colour\""},
        {"expect items 1074 \"A\" B", 1, "expected an entry in double quotes"},
        {"messagebox \"Caption\"", 1, "expected the text in double quotes"},
        {"filedialog later", 1, "expected a path in double quotes or cancel, found \"later\""},
        {"select 1074 99999999", 1, "expected an entry number, found \"99999999\""},
        {"\"click\" 1", 1, "expected an action"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseScript(c.script);
        ASSERT_TRUE(parsed.error) << c.script;
        EXPECT_EQ(parsed.error->line, c.line) << c.script;
        EXPECT_EQ(parsed.error->message, c.message) << c.script;
        EXPECT_TRUE(parsed.script.actions.empty());
    }
}

}  // namespace
