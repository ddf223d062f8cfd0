// The path pieces both copies are built from, over double-byte names whose trail byte is
// the backslash code (誠 is D5 5C).
#include <gtest/gtest.h>

#include "copy/CopyPaths.h"
#include "app/KestravaDlg.h"
#include "support/Files.h"

namespace kestrava::test {
namespace {

TEST(CopyPaths, TitlesNamesAndJoinsStepOverDoubleByteCharacters) {
    // A '/' ends a title only when there is no '\\' at all. A drive root's contents go into
    // the target folder itself; with no folder at all a file keeps its bare name.
    // clang-format off
    const struct { const char* path; const char* title; } titles[] = {
        {"D:\\x\\report.doc", "report"}, {"D:\\x\\a.tar.gz", "a.tar"}, {"D:/x/b.txt", "b"}, {"D:\\x/y.txt", "x/y"},
        {"noext", "noext"}, {".profile", ""}, {"D:\\x\\", ""}, {"", ""}, {"Z:\\目录\\报告.doc", "报告"},
        {"Z:\\目录\\誠", "誠"}, {"Z:\\誠.txt", "誠"}};
    const struct { const char* path; const char* name; } names[] = {
        {"D:\\data\\photos", "photos"}, {"D:\\data\\photos\\", "photos"}, {"D:\\data\\photos\\\\", "photos"},
        {"D:\\", ""}, {"d:\\\\", ""}, {"Z:\\tmp\\数据誠", "数据誠"}, {"Z:\\tmp\\数据誠\\", "数据誠"},
        {"\\\\server\\share\\", "share"}, {"photos", "photos"}, {"", ""}};
    const struct { const char* dir; const char* joined; } joins[] = {
        {"E:\\backup\\", "E:\\backup\\a.jpg"}, {"E:\\backup", "E:\\backup\\a.jpg"}, {"E:\\", "E:\\a.jpg"},
        {"E:\\数据誠", "E:\\数据誠\\a.jpg"}, {"", "a.jpg"}};
    // clang-format on
    for (const auto& c : titles)
        EXPECT_EQ(CKestravaDlg::GetPathTitle(c.path, false), c.title) << c.path;
    EXPECT_EQ(CKestravaDlg::GetPathTitle("D:\\x\\a.tar.gz", true), "a.tar.gz");
    for (const auto& c : names) EXPECT_EQ(SourceFolderName(c.path), c.name) << c.path;
    for (const auto& c : joins) EXPECT_EQ(JoinPath(c.dir, "a.jpg"), c.joined) << c.dir;
    EXPECT_EQ(LastComponent("Z:\\tmp\\誠") + "|" + LastComponent("誠"), "誠|誠");
    EXPECT_EQ(DirectoryPart("Z:\\tmp\\誠") + "|" + DirectoryPart("誠"), "Z:\\tmp\\|");
    // A typed drive is its root, wherever the current directory on it happens to be.
    ScratchFolder current;
    ASSERT_TRUE(::SetCurrentDirectoryA(current.Path().c_str()));
    EXPECT_EQ(FullPath(current.Path().substr(0, 2)), current.Path().substr(0, 3));
    EXPECT_EQ(FullPath("."), current.Path().substr(0, current.Path().size() - 1));
    EXPECT_TRUE(::SetCurrentDirectoryA(".."));
}

}  // namespace
}  // namespace kestrava::test
