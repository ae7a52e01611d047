#include <gtest/gtest.h>

#include <memory>

#include "platform/GdiPlusFont.h"
#include "platform/GuiSession.h"

namespace plumwick {
namespace {

// The test program's main holds the first session; a later one (a command run from a test) borrows
// that application and must leave it, and the fonts, in place when it ends.
TEST(GuiSession, ASecondSessionBorrowsAndLeavesTheApplication)
{
    ASSERT_TRUE(HasGuiApplication());
    {
        auto borrowed = std::make_unique<TGuiSession>();
        EXPECT_TRUE(HasGuiApplication());
    }
    EXPECT_TRUE(HasGuiApplication());
    EXPECT_FALSE(GetInstalledFontFamilies().empty());
}

}  // namespace
}  // namespace plumwick
