// A resource that lacks one page's panel ends the start-up before anything is shown.
#include "orvane/core/ui/mainwin.h"
#include "orvane/ui/screen.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

#include <gtest/gtest.h>

#include <string>

TEST(StartupFailure, MissingPageEndsWithMinusOneAndShowsNothing) {
    std::string text = kScreenUir;
    const std::size_t from = text.find("panel PARM5 ");
    ASSERT_NE(from, std::string::npos);
    text.erase(from, text.find("panel PARM6 ") - from);
    RegisterScreenCallbacks();
    RegisterResource("screen.uir", text);
    EXPECT_EQ(OrvaneMain(), -1);
    EXPECT_TRUE(hMainPanel <= 0 || !uitest::IsPanelVisible(hMainPanel));
}
