// Reads the dialog templates, icon groups and version block back from this module's own
// resources (the test is linked with the program's .rc), so that a slip in the resource
// script (a lost NOT WS_VISIBLE, a default button, a swapped id, a wrong size) fails here.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"

namespace kestrava::test {
namespace {

struct Row {
    int id;
    const char* className;
    DWORD style;  // besides WS_CHILD, and WS_VISIBLE when visible
    bool visible;
    DWORD exStyle;
    short box[4];
    const char* text;  // an icon static's text is its icon's id as "#<id>"
};

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = SS_LEFT | WS_GROUP;

// Enter must not press a button of the main window: none of its buttons is a default one.
// clang-format off
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

std::string Describe(int id, const std::string& className, DWORD style, DWORD exStyle,
                     const short* box, const std::string& text) {
    char line[160];
    std::snprintf(line, sizeof line, "%d %s style 0x%08lX ex 0x%08lX at %d,%d %dx%d ", id,
                  className.c_str(), static_cast<unsigned long>(style),
                  static_cast<unsigned long>(exStyle), box[0], box[1], box[2], box[3]);
    // The window manager compares class names without regard to case.
    for (char* c = line; *c; ++c) *c = static_cast<char>(std::tolower(*c));
    return line + text;
}

std::string Describe(const Row& row) {
    const DWORD shown = row.id == 0 ? 0 : WS_CHILD | (row.visible ? WS_VISIBLE : 0);
    return Describe(row.id, row.className, row.style | shown, row.exStyle, row.box, row.text);
}

// Walks an extended dialog template; a read past its end yields zeros.
class TemplateReader {
  public:
    explicit TemplateReader(WORD id) {
        HMODULE module = ::GetModuleHandleA(nullptr);
        HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
        if (!found) return;
        m_data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
        m_size = ::SizeofResource(module, found);
    }
    template <class T>
    T Get() {
        T value{};
        if (m_pos + sizeof(T) <= m_size) std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    // A string, or an ordinal as "#<id>"; a predefined class's atom reads as its name.
    std::string String() {
        WCHAR c = Get<WCHAR>();
        if (c == 0xFFFF) {
            const WORD ordinal = Get<WORD>();
            const char* names[] = {"Button", "Edit", "Static"};
            return ordinal >= 128 && ordinal <= 130 ? names[ordinal - 128]
                                                    : "#" + std::to_string(ordinal);
        }
        std::wstring text;
        for (; c != 0 && m_pos <= m_size; c = Get<WCHAR>()) text += c;
        char narrow[512] = {};
        ::WideCharToMultiByte(936, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }
    // Items start on DWORD boundaries counted from the template's start.
    void Align() { m_pos = (m_pos + 3) / 4 * 4; }
    // The dialog's own entry (its menu and class read as one, empty when it has neither)
    // or the next control's.
    std::string Entry(bool dialog) {
        Get<DWORD>();  // help id
        const DWORD exStyle = Get<DWORD>();
        const DWORD style = Get<DWORD>();
        if (dialog) count = Get<WORD>();
        short box[4];
        for (short& value : box) value = Get<short>();
        const int id = dialog ? 0 : static_cast<int>(Get<DWORD>());
        std::string className = String();
        if (dialog) className += String();
        const std::string text = String();
        if (!dialog) m_pos += Get<WORD>();  // creation data
        return Describe(id, className, style, exStyle, box, text);
    }
    bool Overrun() const { return m_pos > m_size; }
    WORD count = 0;

  private:
    const BYTE* m_data = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;
};

// clang-format off
const struct { WORD id; const char* name; const Row* rows; size_t rowCount; } kDialogs[] = {
    {IDD_MAIN_DIALOG, "main window", kMainDialog, std::size(kMainDialog)},
    {IDD_ABOUT_DIALOG, "About box", kAboutDialog, std::size(kAboutDialog)},
};
// clang-format on

TEST(DialogTemplateTest, FrameFontAndControlsMatchTheTableInOrder) {
    for (const auto& dialog : kDialogs) {
        SCOPED_TRACE(dialog.name);
        TemplateReader reader(dialog.id);
        ASSERT_EQ(reader.Get<DWORD>(), 0xFFFF0001u) << "not an extended template";
        EXPECT_EQ(reader.Entry(true), Describe(dialog.rows[0]));
        const WORD size = reader.Get<WORD>(), weight = reader.Get<WORD>();
        const int italic = reader.Get<BYTE>(), charset = reader.Get<BYTE>();
        EXPECT_EQ(std::to_string(size) + " " + std::to_string(weight) + " " +
                      std::to_string(italic) + " " + std::to_string(charset) + " " +
                      reader.String(),
                  "9 400 0 1 宋体");
        ASSERT_EQ(reader.count + 1u, dialog.rowCount);
        for (size_t i = 1; i < dialog.rowCount; ++i) {
            reader.Align();
            EXPECT_EQ(reader.Entry(false), Describe(dialog.rows[i])) << "control #" << i;
        }
        EXPECT_FALSE(reader.Overrun());
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE bWidth, bHeight, bColorCount, reserved;
    WORD planes, wBitCount;
    DWORD bytes;
    WORD nID;
};
#pragma pack(pop)

// Each group holds its images, largest first, and the system loads each; the window icon
// is loaded from IDR_MAINFRAME, which is meant to find nothing.
TEST(IconResourceTest, GroupsHoldTheirImages) {
    // clang-format off
    const struct { WORD id; const char* images; } groups[] = {
        {IDI_FOLDER_ARROW, "32x32 16 4bpp, 16x16 16 4bpp"},
        {IDI_FILE_ARROW, "32x32 16 4bpp, 16x16 16 4bpp"},
        {IDI_ABOUT_ICON, "128x128 0 24bpp"},
    };
    // clang-format on
    HMODULE module = ::GetModuleHandleA(nullptr);
    for (const auto& group : groups) {
        SCOPED_TRACE("icon group " + std::to_string(group.id));
        HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(group.id), RT_GROUP_ICON);
        ASSERT_NE(found, nullptr);
        const auto* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
        ASSERT_EQ(dir[2] + 256 * dir[3], 1) << "not an icon directory";
        std::string images;
        for (int i = 0; i < dir[4]; ++i) {
            GroupIconEntry entry;  // after a 6-byte header
            std::memcpy(&entry, dir + 6 + sizeof entry * i, sizeof entry);
            images += (i ? ", " : "") + std::to_string(entry.bWidth) + "x" +
                      std::to_string(entry.bHeight) + " " + std::to_string(entry.bColorCount) +
                      " " + std::to_string(entry.wBitCount) + "bpp";
            HRSRC image = ::FindResourceA(module, MAKEINTRESOURCEA(entry.nID), RT_ICON);
            ASSERT_NE(image, nullptr);
            auto* bits = static_cast<BYTE*>(::LockResource(::LoadResource(module, image)));
            const DWORD size = ::SizeofResource(module, image);
            // The image's own header agrees with its entry; its height counts the AND mask.
            BITMAPINFOHEADER header;
            std::memcpy(&header, bits, sizeof header);
            const auto describe = [](LONG w, LONG h, int bpp, DWORD bytes) {
                return std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(bpp) +
                       "bpp " + std::to_string(bytes) + " bytes";
            };
            EXPECT_EQ(describe(header.biWidth, header.biHeight, header.biBitCount, size),
                      describe(entry.bWidth, 2 * entry.bHeight, entry.wBitCount, entry.bytes));
            HICON icon = ::CreateIconFromResourceEx(bits, size, TRUE, 0x00030000, entry.bWidth,
                                                    entry.bHeight, 0);
            EXPECT_NE(icon, nullptr) << "the system cannot load image " << i;
            ::DestroyIcon(icon);
        }
        EXPECT_EQ(images, group.images);
    }
    EXPECT_EQ(::FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON), nullptr);
}

TEST(VersionResourceTest, DescribesTheProduct) {
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(path, nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ((std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                  fixed->dwProductVersionMS, fixed->dwProductVersionLS}),
              (std::vector<DWORD>{MAKELONG(0, 1), 0, MAKELONG(0, 1), 0}));
    const WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(const_cast<WORD**>(&translation)),
                                 &length));
    EXPECT_EQ(std::to_string(translation[0]) + " " + std::to_string(translation[1]), "2052 936");
    for (const char* field :
         {"ProductName=Kestrava", "ProductVersion=1.0.0.0", "FileVersion=1.0.0.0"}) {
        const std::string key(field, std::strchr(field, '=') - field);
        const char* value = nullptr;
        EXPECT_TRUE(::VerQueryValueA(block.data(), ("\\StringFileInfo\\080403a8\\" + key).c_str(),
                                     reinterpret_cast<void**>(const_cast<char**>(&value)),
                                     &length) &&
                    key + "=" + value == field)
            << field;
    }
}

}  // namespace
}  // namespace kestrava::test
