// main() of the Windows-tier and end-to-end test programs. After the tests it ends the
// process at once: under Wine an ordinary exit, which runs static destructors and DLL
// detach code while timer threads may still be winding down, has been seen to hang.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
