// Reads the dialog templates, icon groups and version block back from this module's own
// resources (the test is linked with the program's .rc), so that a slip in the resource
// script (a lost NOT WS_VISIBLE, a default button, a swapped id, a wrong size) fails here.
#include <windows.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "framework/MbString.h"
#include "resource.h"

namespace kestrava::test {
namespace {

using mbs::Format;

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = SS_LEFT | WS_GROUP;

// Enter must not press a button of the main window: none of its buttons is a default one.
// clang-format off
// An icon static's text is its icon's id as "#<id>"; style is besides WS_CHILD and WS_VISIBLE.
struct Row { int id; const char* className; DWORD style; bool visible; DWORD exStyle; short box[4]; const char* text; };
const Row kMainDialog[] = {
    {0, "", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, true, WS_EX_APPWINDOW, {0, 0, 295, 95}, "文件复制中显示进度条"},
    {IDC_SOURCE_PATH, "Edit", kEdit | ES_LEFT, true, 0, {53, 22, 171, 14}, ""},
    {IDC_TARGET_PATH, "Edit", kEdit | ES_LEFT, true, 0, {53, 37, 171, 14}, ""},
    {IDC_BROWSE_SOURCE, "Button", kPush, true, 0, {238, 19, 50, 14}, "浏览[&A]"},
    {IDC_BROWSE_TARGET, "Button", kPush, true, 0, {238, 36, 50, 14}, "浏览[&B]"},
    {IDC_COPY, "Button", kPush, true, 0, {238, 53, 50, 14}, "复制[&C]"},
    {IDC_CLOSE, "Button", kPush, true, 0, {238, 74, 50, 14}, "关闭[&D]"},
    {IDC_TARGET_LABEL, "Static", kLabel, true, 0, {6, 39, 40, 8}, "目标文件："},
    {IDC_PROGRESS, "msctls_progress32", 0, true, 0, {7, 54, 217, 14}, "Progress1"},
    {IDC_LOAD_SETTINGS, "Button", kPush, false, 0, {7, 6, 50, 14}, "初始化"},
    {IDC_AUTO_RUN, "Button", kCheck, true, 0, {7, 78, 44, 10}, "自动执行"},
    {IDC_EXIT_PROMPT, "Button", kPush, false, 0, {187, 74, 50, 14}, "延时"},
    {IDC_DELAY, "Button", kCheck, true, 0, {54, 77, 27, 10}, "延时"},
    {IDC_DELAY_SECONDS, "Edit", kEdit | ES_NUMBER, true, 0, {89, 76, 15, 12}, ""},
    {IDC_STATIC, "Static", kLabel, true, 0, {108, 78, 58, 8}, "秒之后退出"},
    {IDC_PROMPT_LABEL, "Static", kLabel, true, 0, {84, 78, 61, 8}, "提示关闭对话框"},
    {IDC_COUNTDOWN_TEXT, "Static", SS_RIGHT | WS_GROUP, true, 0, {151, 77, 137, 14}, ""},
    {IDC_SOURCE_KIND, "Button", kCheck | BS_RIGHT, true, 0, {6, 22, 41, 10}, "文件夹："},
    {IDC_CONFIG_LINK, "Static", SS_CENTER | WS_GROUP, true, 0, {199, 6, 68, 8}, "打开程序配置文件"},
    {IDC_ABOUT_BUTTON, "Button", kPush, false, 0, {238, 74, 50, 14}, "关于"},
    {IDC_ABOUT_LINK, "Static", kLabel, true, 0, {272, 6, 17, 8}, "关于"},
    {IDC_FOLDER_COPY, "Button", kPush, false, 0, {238, 74, 50, 14}, "文件夹复制"},
    {IDC_STATUS_TEXT, "Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP, true, 0, {0, 6, 200, 8}, ""},
    {IDC_FILE_COPY, "Button", kPush, false, 0, {238, 74, 50, 14}, "文件复制"},
    {IDC_AUTO_START, "Button", kPush, false, 0, {185, 74, 50, 14}, "延时1"},
};
const Row kAboutDialog[] = {
    {0, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK, false, WS_EX_TOOLWINDOW, {0, 0, 180, 95}, "关于"},
    {IDOK, "Button", WS_TABSTOP | BS_DEFPUSHBUTTON, true, 0, {65, 72, 50, 14}, "确定"},
    {IDC_LOAD_PICTURE, "Button", kPush, false, 0, {118, 72, 50, 14}, "加载jpg图片"},
    {IDC_STATIC, "Static", SS_ICON, true, 0, {7, 17, 21, 21}, "#140"},
    {IDC_ABOUT_TEXT, "Static", SS_LEFT, true, 0, {31, 7, 146, 44}, ""},
    {IDC_SITE_LINK, "Static", kLabel, true, WS_EX_TRANSPARENT, {65, 55, 50, 10}, "Kestrava 官方网站"},
};
// clang-format on

std::string Describe(int id, std::string className, DWORD style, DWORD exStyle, const short* box,
                     const std::string& text) {
    // The window manager compares class names without regard to case.
    for (char& c : className) c = static_cast<char>(std::tolower(c));
    return Format("%d %s style 0x%08lX ex 0x%08lX at %d,%d %dx%d ", id, className.c_str(), style,
                  exStyle, box[0], box[1], box[2], box[3]) +
           text;
}

const BYTE* Load(WORD id, LPCSTR type, DWORD* size = nullptr) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (size) *size = found ? ::SizeofResource(module, found) : 0;
    return found ? static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)))
                 : nullptr;
}

// Walks an extended dialog template; a read past its end yields zeros.
struct TemplateReader {
    explicit TemplateReader(WORD id) : data(Load(id, RT_DIALOG, &size)) {}
    template <class T>
    T Get() {
        T value{};
        if (pos + sizeof(T) <= size) std::memcpy(&value, data + pos, sizeof(T));
        pos += sizeof(T);
        return value;
    }
    // A string, or an ordinal as "#<id>"; a predefined class's atom reads as its name.
    std::string String() {
        WCHAR c = Get<WCHAR>();
        if (c == 0xFFFF) {
            const WORD n = Get<WORD>();
            return n == 128 ? "Button" : n == 129 ? "Edit" : n == 130 ? "Static" : Format("#%u", n);
        }
        std::wstring text;
        for (; c != 0 && pos <= size; c = Get<WCHAR>()) text += c;
        char narrow[512] = {};
        ::WideCharToMultiByte(936, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }
    // The dialog's own entry (its menu and class read as one, empty when it has neither)
    // or the next control's, which starts on a DWORD boundary.
    std::string Entry(bool dialog) {
        if (!dialog) pos = (pos + 3) / 4 * 4;
        Get<DWORD>();  // help id
        const DWORD exStyle = Get<DWORD>(), style = Get<DWORD>();
        if (dialog) count = Get<WORD>();
        short box[4];
        for (short& value : box) value = Get<short>();
        const int id = dialog ? 0 : static_cast<int>(Get<DWORD>());
        std::string className = String();
        if (dialog) className += String();
        const std::string text = String();
        if (!dialog) pos += Get<WORD>();  // creation data
        return Describe(id, className, style, exStyle, box, text);
    }
    DWORD size = 0;  // before data, which fills it
    const BYTE* data;
    size_t pos = 0;
    WORD count = 0;
};

TEST(DialogTemplateTest, FrameFontAndControlsMatchTheTableInOrder) {
    for (const auto& [id, rows] :
         {std::pair{IDD_MAIN_DIALOG, std::span<const Row>(kMainDialog)},
          std::pair{IDD_ABOUT_DIALOG, std::span<const Row>(kAboutDialog)}}) {
        SCOPED_TRACE(Format("dialog %u", id));
        TemplateReader reader(id);
        ASSERT_EQ(reader.Get<DWORD>(), 0xFFFF0001u) << "not an extended template";
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            const DWORD shown = r.id == 0 ? 0 : WS_CHILD | (r.visible ? WS_VISIBLE : 0);
            EXPECT_EQ(reader.Entry(i == 0),
                      Describe(r.id, r.className, r.style | shown, r.exStyle, r.box, r.text))
                << "control #" << i;
            if (i > 0) continue;
            const int size = reader.Get<WORD>(), weight = reader.Get<WORD>();
            const int italic = reader.Get<BYTE>(), charset = reader.Get<BYTE>();
            EXPECT_EQ(Format("%d %d %d %d ", size, weight, italic, charset) + reader.String(),
                      "9 400 0 1 宋体");
            ASSERT_EQ(reader.count + 1u, rows.size());
        }
        EXPECT_LE(reader.pos, reader.size) << "read past the template's end";
    }
}

// Each icon group holds its images, largest first, and the system loads each; the window
// icon is loaded from IDR_MAINFRAME, which is meant to find nothing.
TEST(ResourceTest, IconGroupsAndVersionBlockDescribeTheProduct) {
    const std::pair<WORD, const char*> groups[] = {
        {IDI_FOLDER_ARROW, "32x32 16 4bpp, 16x16 16 4bpp"},
        {IDI_FILE_ARROW, "32x32 16 4bpp, 16x16 16 4bpp"},
        {IDI_ABOUT_ICON, "128x128 0 24bpp"}};
    for (const auto& [id, expected] : groups) {
        SCOPED_TRACE(Format("icon group %u", id));
        const BYTE* dir = Load(id, RT_GROUP_ICON);
        ASSERT_TRUE(dir && dir[2] == 1 && dir[3] == 0) << "no icon directory";
        std::string images;
        for (int i = 0; i < dir[4]; ++i) {
            // Entries of 14 bytes after a 6-byte header.
            const BYTE* e = dir + 6 + 14 * i;
            DWORD bytes = 0, size = 0;
            std::memcpy(&bytes, e + 8, 4);
            images += Format("%s%dx%d %d %dbpp", i ? ", " : "", e[0], e[1], e[2], e[6]);
            const BYTE* bits = Load(e[12] | e[13] << 8, RT_ICON, &size);
            ASSERT_NE(bits, nullptr);
            // The image's own header agrees with its entry; its height counts the AND mask.
            BITMAPINFOHEADER h;
            std::memcpy(&h, bits, sizeof h);
            EXPECT_EQ(Format("%ldx%ld %d %lu", h.biWidth, h.biHeight, h.biBitCount, size),
                      Format("%dx%d %d %lu", e[0], 2 * e[1], e[6], bytes));
            HICON icon = ::CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, TRUE, 0x00030000,
                                                    e[0], e[1], 0);
            EXPECT_NE(icon, nullptr) << "the system cannot load image " << i;
            ::DestroyIcon(icon);
        }
        EXPECT_EQ(images, expected);
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
    EXPECT_EQ(Format("%lX %lX.%lX %lX.%lX %u %u", fixed->dwSignature, fixed->dwFileVersionMS,
                     fixed->dwFileVersionLS, fixed->dwProductVersionMS, fixed->dwProductVersionLS,
                     translation[0], translation[1]),
              "FEEF04BD 10000.0 10000.0 2052 936");
    for (const char* field :
         {"ProductName=Kestrava", "ProductVersion=1.0.0.0", "FileVersion=1.0.0.0"}) {
        const std::string key(field, std::strchr(field, '=') - field);
        const auto* value = static_cast<const char*>(query("\\StringFileInfo\\080403a8\\" + key));
        EXPECT_EQ(key + "=" + (value ? value : "(missing)"), field);
    }
}

}  // namespace
}  // namespace kestrava::test
