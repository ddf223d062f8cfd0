#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Unbuffered: a test process that dies still shows how far it got, and one that
    // printed nothing never reached this line (scripts/wine-exec relies on that).
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&init);
    ::CoInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
