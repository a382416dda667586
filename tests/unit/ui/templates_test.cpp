#include <gtest/gtest.h>

#include <vector>

#include "res/resources.h"
#include "ui/backend.h"

namespace {

std::vector<int> ids(const ui::DialogTemplate& t) {
    std::vector<int> out;
    for (const auto& c : t.controls) out.push_back(c.id);
    return out;
}

TEST(Templates, AllFourWithTheirCaptionsAndSizes) {
    struct Case {
        int id;
        const char* caption;
        int cx, cy;
    };
    const Case cases[] = {
        {100, "About ZEB++ IDE Integration", 214, 137},
        {133, "ZEB++ Report", 310, 354},
        {139, "ZEB++ Clean", 250, 145},
        {157, "ZEB++ Set/Clean", 286, 210},
    };
    for (const auto& c : cases) {
        const auto* t = res::dialogTemplate(c.id);
        ASSERT_NE(t, nullptr) << c.id;
        EXPECT_EQ(t->caption, c.caption);
        EXPECT_EQ(t->cx, c.cx);
        EXPECT_EQ(t->cy, c.cy);
        EXPECT_EQ(t->font, "MS Sans Serif");
        EXPECT_EQ(t->pointSize, 8);
        EXPECT_TRUE(t->windowStyle & ui::SystemMenu);
    }
    EXPECT_EQ(res::dialogTemplate(101), nullptr);
    EXPECT_TRUE(res::dialogTemplate(133)->windowStyle & ui::Visible);
    EXPECT_FALSE(res::dialogTemplate(157)->windowStyle & ui::Visible);
}

TEST(Templates, ControlOrderAsLaidOut) {
    EXPECT_EQ(ids(*res::dialogTemplate(157)),
              (std::vector<int>{1182, 1183, 1191, 1192, 1190, 1012, 1139, 1138, 1137, 1178, 1111, 1043, 1193, 1181,
                                1177, 1180, 1058, 1061, 1140}));
    EXPECT_EQ(ids(*res::dialogTemplate(133)),
              (std::vector<int>{1074, 1071, 1182, 1072, 1073, 1134, 1196, 1135, 1096, 1070, 1076, 1097,
                                1186, 1068, 1069, 1051, 1105, 1106, 1195, 1080, 1163, 1187, 1078, 1184,
                                1185, 1164, 1166, 1165, 1167, 1092, 1103, 1160, 1197, 1198}));
    EXPECT_EQ(ids(*res::dialogTemplate(139)),
              (std::vector<int>{1136, 1168, 1169, 1108, 1109, 1194, 1107, 1171, 1188, 1189, 1131}));
    EXPECT_EQ(ids(*res::dialogTemplate(100)), (std::vector<int>{-1, -1, 1, -1, -1, -1}));
}

TEST(Templates, ControlsThatTheDialogManagerDependsOn) {
    using ui::ControlKind;
    const auto& about = *res::dialogTemplate(100);
    const auto* ok = about.find(1);
    EXPECT_EQ(ok->kind, ControlKind::DefPushButton);
    EXPECT_EQ(ok->text, "&OK");
    EXPECT_EQ(ok->style, ui::TabStop | ui::GroupStart);
    EXPECT_EQ(about.controls[0].kind, ControlKind::StaticIcon);
    EXPECT_EQ(about.controls[0].text, "128");

    const auto& set = *res::dialogTemplate(157);
    EXPECT_EQ(set.find(1178)->kind, ControlKind::DefPushButton);
    const auto options = set.find(1137)->style;
    EXPECT_TRUE((options & ui::MultiLine) && (options & ui::WantReturn));
    EXPECT_EQ(set.find(1182)->style, ui::Automatic | ui::GroupStart | ui::TabStop);
    EXPECT_EQ(set.find(1183)->style, ui::Automatic | ui::TabStop);
    EXPECT_EQ(set.find(1177)->text, "ZEB++ Mode will be set ...");

    const auto& report = *res::dialogTemplate(133);
    EXPECT_EQ(report.find(1105)->kind, ControlKind::DefPushButton);
    EXPECT_TRUE(report.find(1070)->style & ui::DigitsOnly);
    EXPECT_EQ(report.find(1076)->kind, ControlKind::Spin);
    EXPECT_TRUE(report.find(1071)->style & ui::GroupStart);
    EXPECT_TRUE(report.find(1196)->style & ui::GroupStart);
    EXPECT_EQ(report.find(1182)->text, "Reduced to MC/DC coverage");
    EXPECT_EQ(report.find(1185)->text.size(), 60u);
    EXPECT_EQ(res::dialogTemplate(139)->find(1189)->text.size(), 48u);
}

TEST(Resources, StringVersionAndIcon) {
    EXPECT_EQ(res::loadString(103), "&About ZEB++ IDE Integration");
    EXPECT_EQ(res::loadString(104), "");
    EXPECT_EQ(res::kVersionText, "4.2.0.0");

    const auto images = res::iconImages(128);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_TRUE(res::iconImages(129).empty());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto& img = images[i];
        EXPECT_EQ(img.size, i == 0 ? 16 : 32);
        ASSERT_EQ(img.palette.size(), 16u);
        EXPECT_EQ(img.palette[0], 0x000000u);
        EXPECT_EQ(img.palette[15], 0xFFFFFFu);
        ASSERT_EQ(img.pixels.size(), static_cast<std::size_t>(img.size * img.size));
        ASSERT_EQ(img.mask.size(), img.pixels.size());
        // corners transparent, centre opaque; transparent pixels are black, as an icon's XOR image needs
        EXPECT_EQ(img.mask[0], 1);
        EXPECT_EQ(img.mask[img.pixels.size() / 2 + static_cast<std::size_t>(img.size) / 2], 0);
        for (std::size_t p = 0; p < img.pixels.size(); ++p) {
            EXPECT_LT(img.pixels[p], 16);
            if (img.mask[p]) {
                EXPECT_EQ(img.pixels[p], 0);
            }
        }
    }
}

TEST(BackendChoice, FromTheVariableAndTheDisplay) {
    const auto none = [](std::string&) { return std::unique_ptr<ui::Backend>(); };
    const std::vector<ui::BackendFactory> linuxWithFltk = {
        {"fltk", none, [](bool display) { return display; }},
        {"headless", none, [](bool) { return true; }},
    };
    const std::vector<ui::BackendFactory> windows = {
        {"win32", none, [](bool) { return true; }},
        {"headless", none, [](bool) { return true; }},
    };
    struct Case {
        const std::vector<ui::BackendFactory>* available;
        const char* variable;
        bool display;
        const char* chosen;  // nullptr: an error
    };
    const Case cases[] = {
        {&linuxWithFltk, "", true, "fltk"},
        {&linuxWithFltk, "", false, "headless"},
        {&linuxWithFltk, "headless", true, "headless"},
        {&linuxWithFltk, "fltk", false, "fltk"},
        {&windows, "", false, "win32"},
        {&windows, "headless", false, "headless"},
        {&linuxWithFltk, "win32", true, nullptr},
        {&windows, "fltk", true, nullptr},
        {&linuxWithFltk, "qt", true, nullptr},
        {&linuxWithFltk, "Headless", true, nullptr},
    };
    for (const auto& c : cases) {
        const auto choice = ui::chooseBackend(*c.available, c.variable, c.display);
        if (c.chosen) {
            ASSERT_NE(choice.factory, nullptr) << c.variable;
            EXPECT_EQ(choice.factory->name, c.chosen) << c.variable;
        } else {
            EXPECT_EQ(choice.factory, nullptr) << c.variable;
            EXPECT_FALSE(choice.error.empty());
        }
    }
    EXPECT_EQ(ui::chooseBackend(windows, "qt", false).error,
              "Unknown user interface \"qt\" in VSZEB_UI (expected headless, fltk or win32).");
    EXPECT_EQ(ui::chooseBackend(linuxWithFltk, "win32", false).error,
              "The user interface \"win32\" named by VSZEB_UI is not part of this build of vsZEB.");
    // this build always has the headless back end, last
    const auto available = ui::availableBackends();
    ASSERT_FALSE(available.empty());
    EXPECT_EQ(available.back().name, "headless");
}

}  // namespace
