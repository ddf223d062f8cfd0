// Both copy commands on the real main window and a real tree (results, status line, boxes),
// the chunked transfer (the bytes it leaves, also from a changing source, and what the bar
// shows after every chunk), and the path pieces both copies are built from.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

#include "copy/CopyPaths.h"
#include "framework/WidePath.h"
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
        {"folder, target folder that cannot be made", "0", IDC_COPY, source, T + "缺少\\" + P, T + "缺少\\" + P, U, "", T + "缺少\\" + name + " 包含无效路径。"},
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
        HANDLE holder = c.stop.find(held) == std::string::npos ? nullptr : open(held);
        SendCommand(dlg.m_hWnd, c.command);
        if (holder) ::CloseHandle(holder);

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

TEST_F(FolderCopyTest, TreesOfAnyNamesAndDepthArriveWholeUnderTheirOwnNames) {
    const std::wstring home = ToWide(files.Path()), d(100, L'd'), deep = d + L"\\" + d + L"\\" + d;
    ASSERT_TRUE(WriteTree(home, {{d, nullptr}, {d + L"\\" + d, nullptr}, {deep, nullptr}}));
    // under: where source and target lie below the scratch folder; index: the file index every
    // folder reports (-1: its own); inside: the target folder inside the source.
    // clang-format off
    const struct { const char* name; std::wstring under; std::vector<std::pair<std::wstring, const char*>> tree; LONG index = -1; bool inside = false; } cases[] = {
        {"names outside the code page", L"", {{L"한국어.txt", "ko"}, {L"ไทย.bin", "th"}, {L"emoji_😀.bin", "emoji"}}},
        {"names alike in the code page, a folder outside it", L"", {{L"한.txt", "1"}, {L"글.txt", "2"}, {L"폴더", nullptr}, {L"폴더\\안.txt", "3"}}},
        {"long roots, a path past 600 characters", deep, {{d, nullptr}, {d + L"\\" + d, nullptr}, {deep, nullptr}, {deep + L"\\深.txt", "deep"}}},
        {"device names, a trailing dot and space", L"", {{L"con", "c"}, {L"aux.txt", "a"}, {L"nul", "n"}, {L"trail.", "t"}, {L"space ", "s"}}},
        {"no file index, target inside", L"", {{L"甲", nullptr}, {L"乙", nullptr}, {L"乙\\x.txt", "x"}}, 0, true},
        {"one file index for all, target inside", L"", {{L"甲", nullptr}, {L"乙", nullptr}, {L"乙\\x.txt", "x"}}, 7, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring n = std::to_wstring(&c - cases),
                           at = home + c.under + (c.under.empty() ? L"" : L"\\");
        const std::wstring source = at + L"源" + n,
                           target = c.inside ? source + L"\\" : at + L"目标" + n + L"\\";
        ASSERT_TRUE(WriteTree(at, {{L"源" + n, nullptr}, {L"目标" + n, nullptr}}) &&
                    WriteTree(source, c.tree));
        const std::map<std::wstring, std::string> original = ReadTree(source);
        std::vector<std::string> shown;
        for (const auto& [path, bytes] : original)
            if (bytes != "<folder>") shown.push_back(ToAnsi(source + L"\\" + path));
        platform.fileIndex = c.index;
        platform.boxes.clear();
        status->texts.clear();
        ASSERT_TRUE(::SetCurrentDirectoryA(files.Path().c_str()));
        dlg.SetDlgItemText(IDC_SOURCE_PATH, ToAnsi(source));
        dlg.SetDlgItemText(IDC_TARGET_PATH, ToAnsi(target) + "复制文件夹功能启动.txt");
        SendCommand(dlg.m_hWnd, IDC_COPY);
        platform.fileIndex = -1;

        const std::wstring copy = target + L"源" + n;
        EXPECT_TRUE(ReadTree(copy) == original)
            << ReadTree(copy).size() << " of " << original.size();
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].text, "复制完成");
        // Each file's path as the code page gives it.
        std::vector<std::string>& texts = status->texts;
        texts.erase(std::remove(texts.begin(), texts.end(), kLevelDone), texts.end());
        std::sort(texts.begin(), texts.end());
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(texts, shown);
        // The copy's folders become the current directory where they are short enough for one.
        wchar_t current[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, current);
        EXPECT_EQ(std::wstring(current).rfind(copy, 0) == 0, copy.size() <= MAX_PATH - 2)
            << ToAnsi(current);
    }
    // The file past 260 characters alone, to a target as long; start-up tells such a folder.
    const std::wstring longFile = home + deep + L"\\源2\\" + deep + L"\\深.txt";
    WriteSetting(key::DocumentOption, "1");
    dlg.SetDlgItemText(IDC_SOURCE_PATH, ToAnsi(longFile));
    dlg.SetDlgItemText(IDC_TARGET_PATH, ToAnsi(home + deep + L"\\单.txt"));
    SendCommand(dlg.m_hWnd, IDC_COPY);
    EXPECT_EQ(ReadTree(home + deep)[L"深.txt"], "deep");
    EXPECT_TRUE(IsFolder(ToAnsi(home + deep)) && !IsFolder(ToAnsi(longFile)));
}

using TransferTest = CopyTest;

TEST_F(TransferTest, BarLooksAsWithAPositionAndAnInvalidationEveryChunk) {
    HWND hwnd = dlg.m_progress.m_hWnd;
    const auto look = [&] {
        PBRANGE r{};
        ::SendMessageA(hwnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r));
        return std::tuple(static_cast<int>(::SendMessageA(hwnd, PBM_GETPOS, 0, 0)), r.iLow, r.iHigh,
                          std::hash<std::string>{}(RenderClient(hwnd)));
    };
    // existing: the target's length before (-1: none); start: none keeps the bar as left; change:
    // run on the source as the bar's atChunk-th position arrives, leaving `kept` bytes copied.
    // Reads go in blocks of B bytes, the bar in 512-byte steps.
    constexpr size_t B = CKestravaDlg::kCopyBlockSize;
    // clang-format off
    const struct { const char* name; size_t length; int existing; std::optional<Recorder::Range> start; int position; const char* change = nullptr; size_t atChunk = 0, kept = 0; } cases[] = {
        {"a step every chunk from an empty bar to a full one", 51201, -1, Recorder::Range{0, 100}, 0},
        {"one byte short of a block over a longer target", B - 1, int(B) + 700, {}, 0},
        {"exactly a block", B, -1, Recorder::Range{0, 100}, 0},
        {"one byte past a block, marks crossed inside both", B + 1, -1, {}, 0},
        {"a small file over a longer target", 1000, 70000, {}, 0},
        {"a large file far above the small range left behind", 2 * B + 5, -1, {}, 0},
        {"an empty source over a target", 0, 3000, {}, 0},
        {"a tiny source on the range of nothing left behind", 50, -1, {}, 0},
        {"counters below, in and above a range, the bar at its top", 10000, 700, Recorder::Range{5, 8}, 8},
        {"a range upside down", 10000, -1, Recorder::Range{60, 20}, 0},
        {"shrinks while the first block is shown", 2 * B, -1, {}, 0, "truncate -s 2000", 1, B},
        {"grows past a length that ends inside the second block", B + 10000, -1, {}, 0, "head -c 5000 /dev/zero >>", 1, B + 10240}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = files.Path() + "in" + std::to_string(&c - cases);
        ASSERT_TRUE(WriteBytes(source, PatternBytes(c.length, 7)));
        ASSERT_TRUE(::SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_HIDDEN));
        const std::string target = files.Path() + "out" + std::to_string(&c - cases);
        ASSERT_TRUE(c.existing < 0 || WriteBytes(target, PatternBytes(c.existing, 9)));
        if (c.start) ResetBar(*c.start, c.position);
        const auto start = look();
        // After chunk k: k, or the whole steps strictly below the position when fewer.
        std::vector<int> counters;
        for (ULONGLONG k = 1, step = c.length / 100; k == 1 || (k - 1) * 512 < c.length; ++k) {
            const ULONGLONG at = std::min<ULONGLONG>(k * 512, c.length);
            counters.push_back(static_cast<int>(std::min(k, step ? (at - 1) / step : at ? k : 0)));
        }
        // Only the transfer moves the bar: each message finds it as the chunks before left it.
        std::vector<decltype(look())> seen;
        const auto catchUp = [&](size_t chunks) {
            // Between two of its messages the bar cannot change: one look serves those steps.
            if (seen.size() < chunks) seen.resize(chunks, look());
        };
        bar->Clear();
        // While the transfer runs nobody else opens either file.
        const auto held = [](const std::string& path) {
            HANDLE h =
                ::CreateFileA(path.c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr);
            return h == INVALID_HANDLE_VALUE ? ::GetLastError() == ERROR_SHARING_VIOLATION
                                             : !::CloseHandle(h);
        };
        bar->onSetPos = [&](size_t index) {
            EXPECT_TRUE(index || (held(source) && held(target)));
            EXPECT_TRUE(index + 1 != c.atChunk ||
                        !RunUnixShell(c.change + (" '" + UnixPath(source) + "'")));
            catchUp(static_cast<size_t>(std::max<LONGLONG>(1, (dlg.m_nPosition + 511) / 512)) - 1);
        };
        bar->onSetRange = [&] { catchUp(counters.size()); };
        dlg.TransferFile(ToWide(source), ToWide(target));
        bar->onSetPos = nullptr;
        bar->onSetRange = nullptr;
        // A position goes to the bar only to move it; the last one empties it after the copy.
        for (size_t i = 0; i + 1 < bar->positions.size(); ++i) {
            const auto [r, now] = bar->shown[i];
            const int was = i ? bar->shown[i - 1].second : std::get<0>(start);
            EXPECT_FALSE(r.first <= r.second && now == was)
                << "position " << bar->positions[i] << " leaves the bar as it was";
        }
        const std::string copied = ReadBytes(target);
        EXPECT_TRUE(copied == (PatternBytes(c.length, 7) + std::string(5000, '\0'))
                                  .substr(0, c.change ? c.kept : c.length))
            << copied.size();
        EXPECT_FALSE(::GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        if (c.change) continue;
        // The same bar driven with a position and an invalidation after every chunk.
        const auto end = look();
        ResetBar({std::get<1>(start), std::get<2>(start)}, std::get<0>(start));
        ASSERT_EQ(seen.size(), counters.size());
        for (size_t chunk = 0; chunk < counters.size(); ++chunk) {
            ::SendMessageA(hwnd, PBM_SETPOS, counters[chunk], 0);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            ASSERT_EQ(seen[chunk], look()) << "after chunk " << chunk + 1;
        }
        ResetBar({0, counters.back()});
        ASSERT_EQ(end, look()) << "at the end";
    }
}

// The path pieces, also over 誠 (D5 5C): its trail byte is '\'.
TEST(CopyPaths, TitlesNamesAndJoinsStepOverDoubleByteCharacters) {
    // A '/' ends a title only without any '\\'; a drive root's contents go into the target itself.
    // clang-format off
    const struct { const char* path; const char* title; } titles[] = {
        {"D:\\x\\report.doc", "report"}, {"D:\\x\\a.tar.gz", "a.tar"}, {"D:/x/b.txt", "b"}, {"D:\\x/y.txt", "x/y"}, {"noext", "noext"},
        {".profile", ""}, {"D:\\x\\", ""}, {"", ""}, {"Z:\\目录\\报告.doc", "报告"}, {"Z:\\目录\\誠", "誠"}, {"Z:\\誠.txt", "誠"}};
    const struct { const char* path; const char* name; const char* joined; } names[] = {
        {"D:\\data\\photos", "photos", "D:\\data\\photos\\a.jpg"}, {"D:\\data\\photos\\", "photos", "D:\\data\\photos\\a.jpg"},
        {"D:\\data\\photos\\\\", "photos", "D:\\data\\photos\\\\a.jpg"}, {"D:\\", "", "D:\\a.jpg"}, {"d:\\\\", "", "d:\\\\a.jpg"},
        {"Z:\\tmp\\数据誠", "数据誠", "Z:\\tmp\\数据誠\\a.jpg"}, {"Z:\\tmp\\数据誠\\", "数据誠", "Z:\\tmp\\数据誠\\a.jpg"},
        {"\\\\server\\share\\", "share", "\\\\server\\share\\a.jpg"}, {"photos", "photos", "photos\\a.jpg"}, {"", "", "a.jpg"}};
    // clang-format on
    for (const auto& c : titles)
        EXPECT_EQ(CKestravaDlg::GetPathTitle(c.path, false), c.title) << c.path;
    EXPECT_EQ(CKestravaDlg::GetPathTitle("D:\\x\\a.tar.gz", true), "a.tar.gz");
    for (const auto& c : names) EXPECT_EQ(SourceFolderName(c.path), c.name) << c.path;
    for (const auto& c : names) EXPECT_EQ(JoinPath(c.path, "a.jpg"), c.joined) << c.path;
    EXPECT_EQ(LastComponent("Z:\\tmp\\誠") + "|" + LastComponent("誠"), "誠|誠");
    EXPECT_EQ(DirectoryPart("Z:\\tmp\\誠") + "|" + DirectoryPart("誠"), "Z:\\tmp\\|");
    // Roots are resolved before the extended-length prefix turns the path rules off.
    // clang-format off
    const struct { const char* path; const wchar_t *extended, *shown; } roots[] = {
        {"Z:/tmp/x/./t/../t", L"\\\\?\\Z:\\tmp\\x\\t", L"Z:\\tmp\\x\\t"},
        {"\\\\server\\share\\a\\..\\b", L"\\\\?\\UNC\\server\\share\\b", L"\\\\server\\share\\b"},
        {"\\\\?\\Z:\\a/./b", L"\\\\?\\Z:\\a/./b", L"Z:\\a/./b"}, {"nul", L"\\\\.\\nul", L"\\\\.\\nul"}, {"", L"", L""}};
    // clang-format on
    for (const auto& c : roots) {
        EXPECT_TRUE(ExtendedPath(c.path) == c.extended) << c.path;
        EXPECT_TRUE(DisplayPath(c.extended) == c.shown) << c.path;
    }
    // A typed drive is its root, wherever the current directory on it happens to be.
    char current[MAX_PATH] = {};
    ASSERT_GT(::GetCurrentDirectoryA(MAX_PATH, current), 3u) << "a folder, not a root";
    EXPECT_TRUE(ExtendedPath(std::string(current, 2)) ==
                L"\\\\?\\" + ToWide(std::string(current, 3)));
}

}  // namespace
}  // namespace kestrava::test
