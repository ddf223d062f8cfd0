// Both copy commands on the real main window and a real tree: results, status line, boxes.
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/ConfigFile.h"
#include "support/Fixtures.h"

namespace kestrava::test {
namespace {

const char* const kLevelDone = "文件夹复制成功......";
using FolderCopyTest = CopyTest;

TEST_F(FolderCopyTest, EachCopyLandsWhereTheTextsSayOrStopsWithOneBox) {
    // 誠 is D5 5C: its trail byte is the backslash code, here at the very end of the name.
    const std::string name = "数据誠", source = files.Path() + "源\\" + name, S = source + "\\";
    const std::string targetDir = files.Path() + "目标", T = targetDir + "\\", copy = T + name;
    const std::string old = files.Path() + "旧", P = "复制文件夹功能启动.txt", U = "未动过";
    const std::string held = S + "子目录\\深层\\内容.txt";
    // clang-format off
    ASSERT_TRUE(WriteTree(files.Path(), {{"源", "", true}, {"源\\" + name, "", true}, {"目标", "", true}, {"旧", "", true},
        {"旧\\" + name, "", true}, {"旧\\" + name + "\\a.txt", PatternBytes(3000, 9)}, {"旧\\" + name + "\\其他.txt", "keep me"}}));
    ASSERT_TRUE(WriteTree(source, {{"a.txt", PatternBytes(513, 1)}, {"report.doc", PatternBytes(1500, 2)}, {"Notes.doc", "notes"},
        {"隐藏.txt", "hidden", false, FILE_ATTRIBUTE_HIDDEN}, {"子目录", "", true}, {"子目录\\深层", "", true},
        {"子目录\\深层\\内容.txt", PatternBytes(1000, 4)}, {"子目录\\空", "", true}, {"誠", "", true}, {"誠\\誠.txt", "x"}}));
    // clang-format on
    const std::map<std::string, std::string> original = ReadTree(source);
    const auto open = [](const std::string& path) {  // with no sharing
        return ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    // Copy takes kind "1", read at each press, to the single-file copy, which names the target
    // after the source and refuses the placeholder. shown, saved: the target box and the stored
    // target after; landsIn: the copy (empty: none); stop: the stop box. Bare names: in T.
    // clang-format off
    const struct { const char* name; const char* option; int command; std::string sourceText, targetText, shown, saved, landsIn, stop; } cases[] = {
        {"folder, target text without a backslash", "10", IDC_COPY, source, P, P, U, copy, ""},
        {"folder, source ending in a backslash, any target name", "", IDC_COPY, S, T + "别的.doc", T + "别的.doc", U, copy, ""},
        {"folder, relative source into an existing folder", "01", IDC_COPY, "..\\源\\" + name, old + "\\" + P, old + "\\" + P, U, old + "\\" + name, ""},
        {"folder, target inside the source", "1", IDC_FOLDER_COPY, source, S + P, S + P, U, S + name, ""},
        {"folder, target deep inside the source", "0", IDC_COPY, source, S + "子目录\\" + P, S + "子目录\\" + P, U, S + "子目录\\" + name, ""},
        {"folder, missing source", "0", IDC_COPY, files.Path() + "无", T + P, T + P, U, "", files.Path() + "无 包含无效路径。"},
        {"folder, source names a file", "0", IDC_COPY, S + "a.txt", T + P, T + P, U, "", S + "a.txt 包含无效路径。"},
        {"folder, a file held open elsewhere", "0", IDC_COPY, source, T + P, T + P, U, copy, "访问 " + held + " 时发生共享冲突。"},
        {"file, different titles", "1", IDC_COPY, S + "a.txt", T + "b.txt", T + "a.txt", T + "a.txt", T + "a.txt", ""},
        {"file, equal titles, other extension", "1", IDC_COPY, S + "report.doc", T + "report.txt", T + "report.txt", U, T + "report.txt", ""},
        {"file, titles differing in case", "1", IDC_COPY, S + "Notes.doc", T + "notes.txt", T + "Notes.doc", T + "Notes.doc", T + "Notes.doc", ""},
        {"file, name with a 0x5C trail byte", "1", IDC_COPY, S + "誠\\誠.txt", T + "旧.txt", T + "誠.txt", T + "誠.txt", T + "誠.txt", ""},
        {"file, kind other than 1 keeps the target", "0", IDC_FILE_COPY, S + "a.txt", T + "b.txt", T + "b.txt", U, T + "b.txt", ""},
        {"file, placeholder target", "1", IDC_COPY, S + "a.txt", T + P, "", T + "a.txt", "", ""},
        {"file, placeholder with any extension, kind 0", "0", IDC_FILE_COPY, S + "a.txt", T + "复制文件夹功能启动.doc", "", U, "", ""},
        {"file, target without a backslash", "1", IDC_COPY, S + "a.txt", "b.txt", "a.txt", "a.txt", T + "a.txt", ""},
        {"file, empty source", "1", IDC_COPY, "", T + "b.txt", T, T, "", ""},
        {"file, source held open elsewhere", "1", IDC_COPY, held, T + "内容.txt", T + "内容.txt", U, "", "访问 " + held + " 时发生共享冲突。"},
        {"file, target folder missing", "1", IDC_COPY, S + "a.txt", T + "缺少\\a.txt", T + "缺少\\a.txt", U, "", T + "缺少\\a.txt 包含无效路径。"},
        {"file, source and target the same file", "1", IDC_COPY, S + "a.txt", S + "a.txt", S + "a.txt", U, "", "访问 " + S + "a.txt 时发生共享冲突。"},
        {"file, target that cannot be flushed", "0", IDC_FILE_COPY, S + "a.txt", "Z:\\dev\\null", "Z:\\dev\\null", U, "", "访问 Z:\\dev\\null 时发生未知错误。"},
        {"file, full target", "0", IDC_FILE_COPY, S + "a.txt", "Z:\\dev\\full", "Z:\\dev\\full", U, "", "写入 Z:\\dev\\full 时磁盘已满。"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(::SetCurrentDirectoryA(targetDir.c_str()));
        WriteSetting(key::DocumentOption, c.option);
        WriteSetting(key::SavePath, U);
        platform.boxes.clear();
        platform.sleeps.clear();
        status->texts.clear();
        bar->Clear();
        dlg.SetDlgItemText(IDC_SOURCE_PATH, c.sourceText);
        dlg.SetDlgItemText(IDC_TARGET_PATH, c.targetText);
        ::SetFocus(dlg.GetDlgItem(IDC_SOURCE_PATH));
        HANDLE holder = c.stop.find(held) == std::string::npos ? INVALID_HANDLE_VALUE : open(held);
        SendCommand(dlg.m_hWnd, c.command);
        ::CloseHandle(holder);

        EXPECT_EQ(dlg.GetDlgItemText(IDC_TARGET_PATH), c.shown);
        EXPECT_EQ(ReadSetting(key::SavePath), c.saved);
        EXPECT_EQ(::GetFocus() == dlg.GetDlgItem(IDC_TARGET_PATH),
                  c.shown.empty() && !c.targetText.empty());
        const std::vector<std::string>& texts = status->texts;
        const auto shownFiles = texts.size() - std::count(texts.begin(), texts.end(), kLevelDone);
        EXPECT_EQ(platform.sleeps, std::vector<DWORD>(shownFiles, 500)) << "a pause per file";
        const std::string box = c.stop.empty() ? "复制完成" : c.stop, n = "boxes: ";
        EXPECT_EQ(platform.boxes.size() == 1 ? platform.boxes[0].text
                                             : n + std::to_string(platform.boxes.size()),
                  !c.landsIn.empty() || !c.stop.empty() ? box : n + "0");
        HANDLE probe = open(S + "a.txt");  // fails while anybody else has it open
        EXPECT_TRUE(probe != INVALID_HANDLE_VALUE && ::CloseHandle(probe) && !dlg.m_hCopyBuffer)
            << "left held";
        if (c.landsIn.empty()) {
            EXPECT_TRUE(ReadTree(targetDir).empty() && bar->ranges.empty()) << "a copy or a range";
        } else if (!c.stop.empty()) {
            EXPECT_EQ(texts.empty() ? "" : texts.back(), held) << "the walk went on";
        } else if (::GetFileAttributesA(c.landsIn.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            std::map<std::string, std::string> expected = original;
            if (c.landsIn.rfind(old, 0) == 0) expected["其他.txt"] = "keep me";
            EXPECT_TRUE(ReadTree(c.landsIn) == expected) << c.landsIn;
            EXPECT_TRUE(texts.size() == original.size() + 1 && texts.back() == kLevelDone)
                << "a text for each file and each level's end, the first level last";
        } else {
            EXPECT_TRUE(ReadBytes(c.landsIn) == ReadBytes(c.sourceText)) << c.landsIn;
        }
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        if (!c.landsIn.empty() && !RemoveTree(c.landsIn)) ::DeleteFileA(c.landsIn.c_str());
        ASSERT_TRUE(ReadTree(source) == original) << "the source changed";
    }
}

}  // namespace
}  // namespace kestrava::test
