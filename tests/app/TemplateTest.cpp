// The dialog templates, icon groups and version block read back from the program's own .rc
// linked into this module: a lost NOT WS_VISIBLE, a default button or a swapped id fails here.
#include <windows.h>
#include <gtest/gtest.h>

#include <span>

#include "framework/MbString.h"
#include "resource.h"

namespace kestrava::test {
namespace {

using mbs::Format;

constexpr DWORD V = WS_CHILD | WS_VISIBLE, H = WS_CHILD;  // a shown and a hidden control
constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kLabel = SS_LEFT | WS_GROUP;
constexpr DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON, kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;

// The dialog's own entry first (its text is the caption, then the font), then the controls in
// template order. No button of the main window is a default one: Enter must press none.
// An icon static's text is its icon's id as "#<id>".
// clang-format off
struct Row { int id; const char* className; DWORD style; short box[4]; const char* text; DWORD exStyle = 0; };
const Row kMainDialog[] = {
    {0, "", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, {0, 0, 295, 95}, "文件复制中显示进度条 | 9 400 0 1 宋体", WS_EX_APPWINDOW},
    {IDC_SOURCE_PATH, "Edit", V | kEdit | ES_LEFT, {53, 22, 171, 14}, ""},
    {IDC_TARGET_PATH, "Edit", V | kEdit | ES_LEFT, {53, 37, 171, 14}, ""},
    {IDC_BROWSE_SOURCE, "Button", V | kPush, {238, 19, 50, 14}, "浏览[&A]"},
    {IDC_BROWSE_TARGET, "Button", V | kPush, {238, 36, 50, 14}, "浏览[&B]"},
    {IDC_COPY, "Button", V | kPush, {238, 53, 50, 14}, "复制[&C]"},
    {IDC_CLOSE, "Button", V | kPush, {238, 74, 50, 14}, "关闭[&D]"},
    {IDC_TARGET_LABEL, "Static", V | kLabel, {6, 39, 40, 8}, "目标文件："},
    {IDC_PROGRESS, "msctls_progress32", V, {7, 54, 217, 14}, "Progress1"},
    {IDC_LOAD_SETTINGS, "Button", H | kPush, {7, 6, 50, 14}, "初始化"},
    {IDC_AUTO_RUN, "Button", V | kCheck, {7, 78, 44, 10}, "自动执行"},
    {IDC_EXIT_PROMPT, "Button", H | kPush, {187, 74, 50, 14}, "延时"},
    {IDC_DELAY, "Button", V | kCheck, {54, 77, 27, 10}, "延时"},
    {IDC_DELAY_SECONDS, "Edit", V | kEdit | ES_NUMBER, {89, 76, 15, 12}, ""},
    {IDC_STATIC, "Static", V | kLabel, {108, 78, 58, 8}, "秒之后退出"},
    {IDC_PROMPT_LABEL, "Static", V | kLabel, {84, 78, 61, 8}, "提示关闭对话框"},
    {IDC_COUNTDOWN_TEXT, "Static", V | SS_RIGHT | WS_GROUP, {151, 77, 137, 14}, ""},
    {IDC_SOURCE_KIND, "Button", V | kCheck | BS_RIGHT, {6, 22, 41, 10}, "文件夹："},
    {IDC_CONFIG_LINK, "Static", V | SS_CENTER | WS_GROUP, {199, 6, 68, 8}, "打开程序配置文件"},
    {IDC_ABOUT_BUTTON, "Button", H | kPush, {238, 74, 50, 14}, "关于"},
    {IDC_ABOUT_LINK, "Static", V | kLabel, {272, 6, 17, 8}, "关于"},
    {IDC_FOLDER_COPY, "Button", H | kPush, {238, 74, 50, 14}, "文件夹复制"},
    {IDC_STATUS_TEXT, "Static", V | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP, {0, 6, 200, 8}, ""},
    {IDC_FILE_COPY, "Button", H | kPush, {238, 74, 50, 14}, "文件复制"},
    {IDC_AUTO_START, "Button", H | kPush, {185, 74, 50, 14}, "延时1"},
};
const Row kAboutDialog[] = {
    {0, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK, {0, 0, 180, 95}, "关于 | 9 400 0 1 宋体", WS_EX_TOOLWINDOW},
    {IDOK, "Button", V | WS_TABSTOP | BS_DEFPUSHBUTTON, {65, 72, 50, 14}, "确定"},
    {IDC_LOAD_PICTURE, "Button", H | kPush, {118, 72, 50, 14}, "加载jpg图片"},
    {IDC_STATIC, "Static", V | SS_ICON, {7, 17, 21, 21}, "#140"},
    {IDC_ABOUT_TEXT, "Static", V | SS_LEFT, {31, 7, 146, 44}, ""},
    {IDC_SITE_LINK, "Static", V | kLabel, {65, 55, 50, 10}, "Kestrava 官方网站", WS_EX_TRANSPARENT},
};
// clang-format on

std::string Describe(int id, std::string className, DWORD style, DWORD exStyle, const short* box,
                     const std::string& text) {
    ::CharLowerA(className.data());  // class names are compared without regard to case
    return Format("%d %s style 0x%08lX ex 0x%08lX at %d,%d %dx%d ", id, className.c_str(), style,
                  exStyle, box[0], box[1], box[2], box[3]) +
           text;
}

const BYTE* Load(WORD id, LPCSTR type, DWORD* size = nullptr) {  // null when there is none
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (size) *size = ::SizeofResource(nullptr, found);
    return static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
}

// Each entry of an extended dialog template as Describe puts a row.
std::vector<std::string> ReadTemplate(WORD templateId) {
    const auto* start = reinterpret_cast<const WORD*>(Load(templateId, RT_DIALOG));
    const WORD* w = start + 2;  // past the version and signature
    const auto dword = [&] { return w += 2, w[-2] | DWORD{w[-1]} << 16; };
    const auto string = [&]() -> std::string {  // a predefined class's atom reads as its name
        const char* atoms[] = {"Button", "Edit", "Static"};
        if (*w == 0xFFFF)
            return w += 2, w[-1] - 0x80u < 3 ? atoms[w[-1] - 0x80] : Format("#%u", w[-1]);
        char narrow[512] = {};
        ::WideCharToMultiByte(936, 0, reinterpret_cast<LPCWCH>(w), -1, narrow, 512, nullptr,
                              nullptr);
        w += ::lstrlenW(reinterpret_cast<LPCWSTR>(w)) + 1;
        return narrow;
    };
    std::vector<std::string> entries;
    for (int i = 0, count = start && start[1] == 0xFFFF; i < count; ++i) {  // the dialog first
        w = start + (w - start + 1) / 2 * 2;  // entries start on a DWORD boundary
        const DWORD exStyle = (dword(), dword()), style = dword();  // after the help id
        if (i == 0) count += *w++;
        const short* box = reinterpret_cast<const short*>(w);
        w += 4;
        const int id = i == 0 ? 0 : static_cast<int>(dword());
        std::string className = string();
        if (i == 0) className += string();  // the menu, then the class
        std::string text = string();
        if (i == 0) {  // the font
            text += Format(" | %u %u %u %u ", w[0], w[1], w[2] & 0xFF, w[2] >> 8);
            w += 3;
            text += string();
        } else {
            w += 1 + (*w + 1) / 2;  // creation data, counted in bytes
        }
        entries.push_back(Describe(id, className, style, exStyle, box, text));
    }
    return entries;
}

TEST(DialogTemplateTest, FrameFontAndControlsMatchTheTableInOrder) {
    for (const auto& [id, rows] :
         {std::pair{IDD_MAIN_DIALOG, std::span<const Row>(kMainDialog)},
          std::pair{IDD_ABOUT_DIALOG, std::span<const Row>(kAboutDialog)}}) {
        const std::vector<std::string> entries = ReadTemplate(id);
        ASSERT_EQ(entries.size(), rows.size()) << "dialog " << id;
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            EXPECT_EQ(entries[i], Describe(r.id, r.className, r.style, r.exStyle, r.box, r.text))
                << "dialog " << id << " entry " << i;
        }
    }
    // The font's dialog units in pixels: 6x12 with 宋体 on Windows, 6x13 with the test bed's
    // stand-in. Any other stand-in lays the template out at another size than Windows does.
    HWND dialog = ::CreateDialogParamA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; }, 0);
    RECT units{0, 0, 4, 8};
    ::MapDialogRect(dialog, &units);
    ::DestroyWindow(dialog);
    EXPECT_EQ(Format("%ldx%ld", units.right, units.bottom), "6x13");
}

// Each icon group lists its images, largest first; each image's own header agrees with its
// entry (its height counts the AND mask) and the system loads it. IDR_MAINFRAME finds none.
TEST(ResourceTest, IconGroupsAndVersionBlockDescribeTheProduct) {
    for (const auto& [id, expected] :
         {std::pair{IDI_FOLDER_ARROW, "32x32 16 4bpp, 16x16 16 4bpp, "},
          std::pair{IDI_FILE_ARROW, "32x32 16 4bpp, 16x16 16 4bpp, "},
          std::pair{IDI_ABOUT_ICON, "128x128 0 24bpp, "}}) {
        const BYTE* dir = Load(id, RT_GROUP_ICON);
        ASSERT_NE(dir, nullptr) << "icon group " << id;
        std::string images;
        for (const BYTE* e = dir + 6; e < dir + 6 + 14 * dir[4]; e += 14) {  // 14-byte entries
            DWORD size = 0;
            const BYTE* bits = Load(e[12] | e[13] << 8, RT_ICON, &size);
            const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(bits);
            HICON icon = ::CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, TRUE, 0x00030000,
                                                    e[0], e[1], 0);
            const bool sound = icon && h->biWidth == e[0] && h->biHeight == 2 * e[1] &&
                               h->biBitCount == e[6] &&
                               size == DWORD(e[8] | e[9] << 8 | e[10] << 16 | e[11] << 24);
            images += Format("%dx%d %d %dbpp%s, ", e[0], e[1], e[2], e[6], sound ? "" : " broken");
            ::DestroyIcon(icon);
        }
        EXPECT_EQ(images, expected) << "icon group " << id;
    }
    EXPECT_EQ(Load(IDR_MAINFRAME, RT_GROUP_ICON), nullptr);

    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(path, nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    const auto query = [&](const std::string& name) -> const void* {
        void* value = nullptr;
        UINT length = 0;
        return ::VerQueryValueA(block.data(), name.c_str(), &value, &length) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    const auto* translation = static_cast<const WORD*>(query("\\VarFileInfo\\Translation"));
    ASSERT_TRUE(fixed && translation);
    std::string found = Format("%lX.%lX %lX.%lX %u %u", fixed->dwFileVersionMS,
                               fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                               fixed->dwProductVersionLS, translation[0], translation[1]);
    for (const char* key : {"ProductName", "ProductVersion", "FileVersion"}) {
        const void* value = query(std::string("\\StringFileInfo\\080403a8\\") + key);
        found += Format(" %s=%s", key, value ? static_cast<const char*>(value) : "(missing)");
    }
    EXPECT_EQ(found,
              "10000.0 10000.0 2052 936 ProductName=Kestrava ProductVersion=1.0.0.0 "
              "FileVersion=1.0.0.0");
}

}  // namespace
}  // namespace kestrava::test
