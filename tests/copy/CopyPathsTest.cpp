// The path pieces both copies are built from, also over 誠 (D5 5C): its trail byte is '\'.
#include <gtest/gtest.h>

#include "copy/CopyPaths.h"
#include "app/KestravaDlg.h"

namespace kestrava::test {
namespace {

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
    // A typed drive is its root, wherever the current directory on it happens to be.
    char current[MAX_PATH] = {};
    ASSERT_GT(::GetCurrentDirectoryA(MAX_PATH, current), 3u) << "a folder, not a root";
    EXPECT_EQ(FullPath(std::string(current, 2)), std::string(current, 3));
}

}  // namespace
}  // namespace kestrava::test
