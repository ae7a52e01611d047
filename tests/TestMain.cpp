// The main of every test program but the window's: the application object that painting needs is
// made here once, as the program's own main does.
#include <gtest/gtest.h>

#include "platform/GuiSession.h"

int main(int argc, char** argv)
{
    const plumwick::TGuiSession session;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
