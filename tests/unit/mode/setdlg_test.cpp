// The Set dialog where no scenario can reach it: start-up refuses uVision
// without a Keil tool directory, but the dialog must not rely on that.
#include "mode/setdlg.h"

#include <gtest/gtest.h>

#include "app/launch.h"
#include "ui/headless/headless.h"

namespace {

TEST(SetDialog, UVisionWithoutToolDirectoryClosesAtOnceWithALine) {
    ui::HeadlessSession session("");
    CSetDlg dlg("Demo", app::kUVision, "/project", "uv", {});
    ::testing::internal::CaptureStdout();
    const int result = dlg.doModal();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "*** Error: Keil/ARMCC not installed.\n");
    EXPECT_EQ(result, ui::IDCANCEL);
    EXPECT_NO_THROW(session.finish());
}

}  // namespace
