// The real program: it starts, shows its main bar, lets only one copy run, and ends
// on Esc.
#include "support/lexorin_process.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

using e2e::LexorinProcess;

TEST(Startup, ShowsMainBarAndSecondCopyExitsAtOnceAndEscEnds)
{
    LexorinProcess app("startup");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr) << "no main bar appeared";

    HANDLE second = app.Launch();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, 10000), WAIT_OBJECT_0) << "the second copy kept running";
    DWORD secondPid = GetProcessId(second);
    EXPECT_EQ(e2e::FindProcessWindow(secondPid, e2e::kMainTitle), nullptr);
    CloseHandle(second);

    e2e::Sync(bar);
    EXPECT_TRUE(IsWindow(bar)) << "the first copy must be unaffected";

    PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u) << "Esc must end the program normally";
}

TEST(Startup, EnterEndsTheProgram)
{
    LexorinProcess app("enter");
    ASSERT_TRUE(app.Start());
    HWND bar = app.WaitForMainWindow(15000);
    ASSERT_NE(bar, nullptr);
    PostMessageW(bar, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
}
