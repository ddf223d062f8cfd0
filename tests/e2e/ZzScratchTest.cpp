#include <gtest/gtest.h>
#include <cstdio>
#include "e2e/Driver.h"
#include "resource.h"
namespace kestrava::e2e {
TEST(Scratch, Icon) {
    TempDir dir{"x"};
    AppProcess app;
    ASSERT_TRUE(CopyApp(dir.Path()));
    ASSERT_TRUE(app.Start(dir / kAppExeName, dir.Path()));
    ASSERT_TRUE(app.WaitForMainWindow(10000));
    app.PostCommand(IDC_EXIT_PROMPT);
    ::Sleep(2500);
    for (HWND top : app.TopLevelWindows()) {
        char cls[64]; GetClassNameA(top, cls, 64);
        printf("top %p %s\n", (void*)top, cls);
        for (HWND c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            GetClassNameA(c, cls, 64);
            DWORD_PTR r = 0; SetLastError(0);
            BOOL ok = SendMessageTimeoutA(c, STM_GETICON, 0, 0, SMTO_NORMAL, 2000, &r);
            DWORD e = GetLastError();
            printf("  child %p %s id %d style %lx ok %d r %llx err %lu\n", (void*)c, cls, GetDlgCtrlID(c), GetWindowLongA(c, GWL_STYLE), ok, (unsigned long long)r, e);
        }
    }
    app.Kill();
}
}
