// Kestrava.log as the copy commands on the real main window leave it: a line for each way in
// and each outcome, there before any box; the bound on its size; logs that cannot be written.
#include <gtest/gtest.h>

#include "copy/CopyLog.h"
#include "settings/ConfigFile.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

using CopyLogTest = CopyTest;

TEST_F(CopyLogTest, EveryRunLeavesItsLineBeforeAnyBoxAndABadLogChangesNothing) {
    // clang-format off
    const std::string S = files.Path() + "源誠", a = S + "\\a.txt", T = files.Path() + "目标\\", P = "复制文件夹功能启动.txt", gone = files.Path() + "无";
    ASSERT_TRUE(WriteTree(files.Path(), {{"源誠", "", true}, {"源誠\\a.txt", PatternBytes(513)}, {"源誠\\子", "", true}, {"源誠\\子\\b.bin", PatternBytes(70000)}, {"目标", "", true}}));
    const std::string log = platform.folder.Path() + "Kestrava.log", old = platform.folder.Path() + "Kestrava.old.log";
    const std::string tree = "\t完成\t2 个文件\t70513 字节\t2 秒", one = "\t完成\t1 个文件\t513 字节\t1 秒";
    // The log before the run: as the last one left it, none, empty (also held open elsewhere),
    // filled up to the bound or a byte past it, a link to a full disk.
    enum Log { kept, none, empty, held, atBound, pastBound, full };
    // tail: the line after its time stamp; empty where none can be written.
    const struct { const char* name; int command; const char* option; std::string source, target, tail; Log log = kept; } cases[] = {
        {"a folder by hand, new log", IDC_COPY, "0", S, T + P, "手动\t文件夹\t" + S + "\t" + T + P + tree, none},
        {"a file by hand, renamed", IDC_COPY, "1", a, T + "b.txt", "手动\t文件\t" + a + "\t" + T + "a.txt" + one},
        {"hidden folder command, empty log", IDC_FOLDER_COPY, "1", S, T + P, "手动\t文件夹\t" + S + "\t" + T + P + tree, empty},
        {"hidden file command, up to the bound", IDC_FILE_COPY, "0", a, T + "b", "手动\t文件\t" + a + "\t" + T + "b" + one, atBound},
        {"past the bound", IDC_FILE_COPY, "0", a, T + "b", "手动\t文件\t" + a + "\t" + T + "b" + one, pastBound},
        {"unattended, failing", IDC_AUTO_START, "0", gone, T + P, "自动\t文件夹\t" + gone + "\t" + T + P + "\t失败\t" + gone + " 包含无效路径。"},
        {"by hand after it, empty box", IDC_COPY, "0", "", T + P, "手动\t文件夹\t\t" + T + P + "\t未复制"},
        {"placeholder in file mode", IDC_COPY, "1", a, T + P, "手动\t文件\t" + a + "\t" + T + P + "\t未复制"},
        {"a file failing", IDC_COPY, "1", a, T + "缺\\a", "手动\t文件\t" + a + "\t" + T + "缺\\a\t失败\t" + T + "缺\\a 包含无效路径。"},
        {"held open elsewhere", IDC_COPY, "1", a, T + "a", "", held},
        {"a full disk", IDC_COPY, "1", a, T + "a", "", full}};
    // clang-format on
    std::string atBox;
    platform.onBox = [&](const ShownBox&) { atBox = ReadBytes(log); };
    bar->onSetRange = [&] { ++platform.now.wSecond; };  // a second for each file
    platform.fakeClock = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.now = {2026, 12, 2, 8, 4, 40, 20, 0};
        platform.boxes.clear();
        const std::string line = Recode("2026-12-08 04:40:20\t" + c.tail, 936, CP_UTF8) + "\r\n";
        const size_t fill =
            c.log < atBound ? 0 : kCopyLogLimit - line.size() + (c.log == pastBound);
        if (c.log != kept) ::DeleteFileA(log.c_str());
        ASSERT_TRUE(WriteBytes(old, "older") && (c.log == kept || c.log == none || c.log == full ||
                                                 WriteBytes(log, std::string(fill, 'x'))));
        ASSERT_TRUE(c.log != full || !RunUnixShell("ln -s /dev/full '" + UnixPath(log) + "'"));
        const std::string before = ReadBytes(log);
        HANDLE holder = c.log == held ? ::CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr,
                                                      OPEN_EXISTING, 0, nullptr)
                                      : nullptr;
        WriteSetting(key::DocumentOption, c.option);
        dlg.SetDlgItemText(IDC_SOURCE_PATH, c.source);
        dlg.SetDlgItemText(IDC_TARGET_PATH, c.target);
        const ULONGLONG started = ::GetTickCount64();
        SendCommand(dlg.m_hWnd, c.command);
        EXPECT_LT(::GetTickCount64() - started, c.tail.empty() ? 1000u : 9000u) << "held up";
        if (holder) ::CloseHandle(holder);

        const std::string after = ReadBytes(log), bom = "\xEF\xBB\xBF";
        EXPECT_EQ(after, c.tail.empty()                      ? before
                         : c.log == kept || c.log == atBound ? before + line
                                                             : bom + line);
        EXPECT_EQ(ReadBytes(old), c.log == pastBound ? before : "older") << "the old log";
        // The stop box shows the failure as the line gives it; the completion box ends a copy.
        const size_t failed = c.tail.find("\t失败\t");
        const std::string box =
            failed == std::string::npos ? "复制完成" : c.tail.substr(failed + 6);
        ASSERT_EQ(platform.boxes.size(), c.tail.ends_with("未复制") ? 0u : 1u);
        EXPECT_TRUE(platform.boxes.empty() || (platform.boxes[0].text == box && atBox == after))
            << "the line came after the box";
        if (c.log == full) RunUnixShell("rm '" + UnixPath(log) + "'");  // Wine keeps the link
    }
}

}  // namespace
}  // namespace kestrava::test
