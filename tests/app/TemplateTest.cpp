// Reads the dialog templates, icon groups and version block back from this module's own
// resources (the test is linked with the program's .rc), so that a slip in the resource script
// (a lost NOT WS_VISIBLE, a default button, a swapped id, a wrong size) fails here.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about/AboutDlg.h"
#include "app/KestravaDlg.h"
#include "resource.h"
#include "support/FakePlatform.h"
#include "support/SettingsScope.h"

namespace {

using Box = std::array<short, 4>;

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

struct Resource {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Resource FindOwnResource(WORD id, LPCSTR type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

// The dialog itself or one of its controls as an extended template describes it.
struct TemplateEntry {
    DWORD exStyle = 0;
    DWORD style = 0;
    Box box{};
    DWORD id = 0;
    std::string className;  // a predefined class's atom reads as its name
    std::string text;       // GBK, as the expected texts are compiled; an ordinal as "#<id>"
};

struct DialogTemplate {
    TemplateEntry frame;
    std::string menu;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string typeface;
    std::vector<TemplateEntry> items;
};

// Reads a template front to back; a read past the end yields zeros and marks it overrun.
class TemplateReader {
  public:
    explicit TemplateReader(const Resource& resource)
        : m_data(resource.data), m_size(resource.size) {}

    template <class T>
    T Read() {
        T value{};
        if (m_pos + sizeof(T) <= m_size) std::memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    // A string, or with sz_Or_Ord fields (ordinal allowed) an ordinal as "#<id>".
    std::string String(bool ordinalAllowed = true) {
        WCHAR c = Read<WCHAR>();
        if (ordinalAllowed && c == 0xFFFF) return "#" + std::to_string(Read<WORD>());
        std::wstring text;
        for (; c != 0 && !Overrun(); c = Read<WCHAR>()) text += c;
        char narrow[512] = {};
        WideCharToMultiByte(936, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }
    Box ReadBox() {
        Box box;
        for (short& value : box) value = Read<short>();
        return box;
    }
    // Items start on DWORD boundaries counted from the template's start, which the loader
    // places on a DWORD boundary.
    void Align() { m_pos = (m_pos + 3) / 4 * 4; }
    void Skip(size_t count) { m_pos += count; }
    bool Overrun() const { return m_pos > m_size; }

  private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

std::string ClassName(const std::string& field) {
    if (field == "#128") return "Button";
    if (field == "#129") return "Edit";
    if (field == "#130") return "Static";
    return field;
}

// Parses an extended dialog template; reports a failure and yields nothing when it cannot.
std::optional<DialogTemplate> ParseDialogTemplate(WORD id) {
    const Resource resource = FindOwnResource(id, RT_DIALOG);
    if (!resource.data) {
        ADD_FAILURE() << "dialog template " << id << " is missing";
        return std::nullopt;
    }
    TemplateReader reader(resource);
    const WORD version = reader.Read<WORD>();
    if (version != 1 || reader.Read<WORD>() != 0xFFFF) {
        ADD_FAILURE() << "template " << id << " is not an extended template";
        return std::nullopt;
    }
    DialogTemplate out;
    reader.Read<DWORD>();  // help id
    out.frame.exStyle = reader.Read<DWORD>();
    out.frame.style = reader.Read<DWORD>();
    const WORD itemCount = reader.Read<WORD>();
    out.frame.box = reader.ReadBox();
    out.menu = reader.String();
    out.frame.className = reader.String();
    out.frame.text = reader.String(false);
    if (out.frame.style & DS_SETFONT) {
        out.pointSize = reader.Read<WORD>();
        out.weight = reader.Read<WORD>();
        out.italic = reader.Read<BYTE>();
        out.charset = reader.Read<BYTE>();
        out.typeface = reader.String(false);
    }
    for (WORD i = 0; i < itemCount; ++i) {
        reader.Align();
        TemplateEntry& item = out.items.emplace_back();
        reader.Read<DWORD>();  // help id
        item.exStyle = reader.Read<DWORD>();
        item.style = reader.Read<DWORD>();
        item.box = reader.ReadBox();
        item.id = reader.Read<DWORD>();
        item.className = ClassName(reader.String());
        item.text = reader.String();
        reader.Skip(reader.Read<WORD>());  // creation data
    }
    if (reader.Overrun()) {
        ADD_FAILURE() << "template " << id << " ends before its " << itemCount << " controls do";
        return std::nullopt;
    }
    return out;
}

enum class Shown { kVisible, kHidden };

struct ExpectedControl {
    int id;
    const char* name;
    const char* className;  // compared without regard to case, as the window manager does
    DWORD style;            // besides WS_CHILD and WS_VISIBLE
    Shown shown;
    DWORD exStyle;
    Box box;
    const char* text;  // unused when icon is set
    WORD icon;         // resource id held in place of a text (icon statics)
};

#define ID_AND_NAME(id) id, #id

constexpr DWORD kEditStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kPushStyle = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheckStyle = WS_TABSTOP | BS_AUTOCHECKBOX;

// Enter must not press a button of the main window: none of its buttons is a default one.
// clang-format off
const ExpectedControl kMainControls[] = {
    {ID_AND_NAME(IDC_SOURCE_PATH), "Edit", kEditStyle | ES_LEFT, Shown::kVisible, 0, {53, 22, 171, 14}, "", 0},
    {ID_AND_NAME(IDC_TARGET_PATH), "Edit", kEditStyle | ES_LEFT, Shown::kVisible, 0, {53, 37, 171, 14}, "", 0},
    {ID_AND_NAME(IDC_BROWSE_SOURCE), "Button", kPushStyle, Shown::kVisible, 0, {238, 19, 50, 14}, "浏览[&A]", 0},
    {ID_AND_NAME(IDC_BROWSE_TARGET), "Button", kPushStyle, Shown::kVisible, 0, {238, 36, 50, 14}, "浏览[&B]", 0},
    {ID_AND_NAME(IDC_COPY), "Button", kPushStyle, Shown::kVisible, 0, {238, 53, 50, 14}, "复制[&C]", 0},
    {ID_AND_NAME(IDC_CLOSE), "Button", kPushStyle, Shown::kVisible, 0, {238, 74, 50, 14}, "关闭[&D]", 0},
    {ID_AND_NAME(IDC_TARGET_LABEL), "Static", SS_LEFT | WS_GROUP, Shown::kVisible, 0, {6, 39, 40, 8}, "目标文件：", 0},
    {ID_AND_NAME(IDC_PROGRESS), "msctls_progress32", 0, Shown::kVisible, 0, {7, 54, 217, 14}, "Progress1", 0},
    {ID_AND_NAME(IDC_LOAD_SETTINGS), "Button", kPushStyle, Shown::kHidden, 0, {7, 6, 50, 14}, "初始化", 0},
    {ID_AND_NAME(IDC_AUTO_RUN), "Button", kCheckStyle, Shown::kVisible, 0, {7, 78, 44, 10}, "自动执行", 0},
    {ID_AND_NAME(IDC_EXIT_PROMPT), "Button", kPushStyle, Shown::kHidden, 0, {187, 74, 50, 14}, "延时", 0},
    {ID_AND_NAME(IDC_DELAY), "Button", kCheckStyle, Shown::kVisible, 0, {54, 77, 27, 10}, "延时", 0},
    {ID_AND_NAME(IDC_DELAY_SECONDS), "Edit", kEditStyle | ES_NUMBER, Shown::kVisible, 0, {89, 76, 15, 12}, "", 0},
    {ID_AND_NAME(IDC_STATIC), "Static", SS_LEFT | WS_GROUP, Shown::kVisible, 0, {108, 78, 58, 8}, "秒之后退出", 0},
    {ID_AND_NAME(IDC_PROMPT_LABEL), "Static", SS_LEFT | WS_GROUP, Shown::kVisible, 0, {84, 78, 61, 8}, "提示关闭对话框", 0},
    {ID_AND_NAME(IDC_COUNTDOWN_TEXT), "Static", SS_RIGHT | WS_GROUP, Shown::kVisible, 0, {151, 77, 137, 14}, "", 0},
    {ID_AND_NAME(IDC_SOURCE_KIND), "Button", kCheckStyle | BS_RIGHT, Shown::kVisible, 0, {6, 22, 41, 10}, "文件夹：", 0},
    {ID_AND_NAME(IDC_CONFIG_LINK), "Static", SS_CENTER | WS_GROUP, Shown::kVisible, 0, {199, 6, 68, 8}, "打开程序配置文件", 0},
    {ID_AND_NAME(IDC_ABOUT_BUTTON), "Button", kPushStyle, Shown::kHidden, 0, {238, 74, 50, 14}, "关于", 0},
    {ID_AND_NAME(IDC_ABOUT_LINK), "Static", SS_LEFT | WS_GROUP, Shown::kVisible, 0, {272, 6, 17, 8}, "关于", 0},
    {ID_AND_NAME(IDC_FOLDER_COPY), "Button", kPushStyle, Shown::kHidden, 0, {238, 74, 50, 14}, "文件夹复制", 0},
    {ID_AND_NAME(IDC_STATUS_TEXT), "Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE | SS_SUNKEN | WS_GROUP, Shown::kVisible, 0, {0, 6, 200, 8}, "", 0},
    {ID_AND_NAME(IDC_FILE_COPY), "Button", kPushStyle, Shown::kHidden, 0, {238, 74, 50, 14}, "文件复制", 0},
    {ID_AND_NAME(IDC_AUTO_START), "Button", kPushStyle, Shown::kHidden, 0, {185, 74, 50, 14}, "延时1", 0},
};

const ExpectedControl kAboutControls[] = {
    {ID_AND_NAME(IDOK), "Button", WS_TABSTOP | BS_DEFPUSHBUTTON, Shown::kVisible, 0, {65, 72, 50, 14}, "确定", 0},
    {ID_AND_NAME(IDC_LOAD_PICTURE), "Button", kPushStyle, Shown::kHidden, 0, {118, 72, 50, 14}, "加载jpg图片", 0},
    {ID_AND_NAME(IDC_STATIC), "Static", SS_ICON, Shown::kVisible, 0, {7, 17, 21, 21}, nullptr, IDI_ABOUT_ICON},
    {ID_AND_NAME(IDC_ABOUT_TEXT), "Static", SS_LEFT, Shown::kVisible, 0, {31, 7, 146, 44}, "", 0},
    {ID_AND_NAME(IDC_SITE_LINK), "Static", SS_LEFT | WS_GROUP, Shown::kVisible, WS_EX_TRANSPARENT, {65, 55, 50, 10}, "Kestrava 官方网站", 0},
};
// clang-format on

DWORD FullStyle(const ExpectedControl& control) {
    return WS_CHILD | (control.shown == Shown::kVisible ? WS_VISIBLE : 0) | control.style;
}

struct ExpectedDialog {
    WORD id;
    const char* name;
    DWORD style;
    DWORD exStyle;
    Box box;
    const char* caption;
    const ExpectedControl* controls;
    size_t controlCount;
};

const ExpectedDialog kDialogs[] = {
    {ID_AND_NAME(IDD_MAIN_DIALOG),
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
     WS_EX_APPWINDOW,
     {0, 0, 295, 95},
     "文件复制中显示进度条",
     kMainControls,
     std::size(kMainControls)},
    {ID_AND_NAME(IDD_ABOUT_DIALOG),
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK,
     WS_EX_TOOLWINDOW,
     {0, 0, 180, 95},
     "关于",
     kAboutControls,
     std::size(kAboutControls)},
};

TEST(DialogTemplateTest, FramesAndControlsMatchInTemplateOrder) {
    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE(expected.name);
        const std::optional<DialogTemplate> dialog = ParseDialogTemplate(expected.id);
        if (!dialog) continue;
        EXPECT_EQ(Hex(dialog->frame.style), Hex(expected.style));
        EXPECT_EQ(Hex(dialog->frame.exStyle), Hex(expected.exStyle));
        EXPECT_EQ(dialog->frame.box, expected.box);
        EXPECT_EQ(dialog->frame.text, expected.caption);
        EXPECT_EQ(dialog->menu, "") << "has a menu";
        EXPECT_EQ(dialog->frame.className, "") << "has its own window class";
        EXPECT_EQ(dialog->pointSize, 9);
        EXPECT_EQ(dialog->weight, FW_NORMAL);
        EXPECT_EQ(dialog->italic, 0);
        EXPECT_EQ(dialog->charset, DEFAULT_CHARSET);
        EXPECT_EQ(dialog->typeface, "宋体");
        ASSERT_EQ(dialog->items.size(), expected.controlCount);

        for (size_t i = 0; i < expected.controlCount; ++i) {
            const ExpectedControl& want = expected.controls[i];
            const TemplateEntry& item = dialog->items[i];
            SCOPED_TRACE(testing::Message() << "control #" << i << " " << want.name);
            EXPECT_EQ(static_cast<int>(item.id), want.id);
            EXPECT_EQ(_stricmp(item.className.c_str(), want.className), 0)
                << "class " << item.className;
            EXPECT_EQ(Hex(item.style), Hex(FullStyle(want)));
            EXPECT_EQ(Hex(item.exStyle), Hex(want.exStyle));
            EXPECT_EQ(item.box, want.box);
            EXPECT_EQ(item.text, want.icon ? "#" + std::to_string(want.icon) : want.text);
        }
    }
}

std::unique_ptr<kestrava::CDialog> MakeDialog(WORD id) {
    // The main window as the dialog manager builds it: start-up then lays it out anew.
    if (id == IDD_MAIN_DIALOG) return std::make_unique<kestrava::CDialog>(IDD_MAIN_DIALOG);
    return std::make_unique<kestrava::CAboutDlg>();
}

// Both windows created through the program's own dialog classes: initialisation leaves every
// control where, as shown and with the text the template says, in dialog units of the real font.
TEST(DialogTemplateTest, WindowsMatchTheirTemplates) {
    kestrava::test::FakePlatform platform;
    kestrava::test::SettingsScope settings(platform);
    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE(expected.name);
        std::unique_ptr<kestrava::CDialog> dialog = MakeDialog(expected.id);
        ASSERT_TRUE(dialog->Create()) << "not created, error " << GetLastError();
        HWND window = dialog->m_hWnd;
        EXPECT_NE(SendMessageA(window, WM_GETFONT, 0, 0), 0) << "no dialog font";
        EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE, expected.style & WS_VISIBLE);
        RECT unit{0, 0, 4, 8};
        MapDialogRect(window, &unit);
        EXPECT_GT(unit.right, 4) << "dialog units not mapped";

        std::vector<HWND> children;
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        ASSERT_EQ(children.size(), expected.controlCount);

        for (size_t i = 0; i < expected.controlCount; ++i) {
            const ExpectedControl& want = expected.controls[i];
            SCOPED_TRACE(testing::Message() << "control #" << i << " " << want.name);
            HWND child = children[i];
            const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
            const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE));
            // The dialog manager draws an edit's border as a client edge.
            DWORD required = FullStyle(want);
            if (std::strcmp(want.className, "Edit") == 0 && (required & WS_BORDER)) {
                required &= ~static_cast<DWORD>(WS_BORDER);
                EXPECT_TRUE((style & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE));
            }
            EXPECT_EQ(style & required, required) << Hex(style);
            EXPECT_EQ((style & WS_VISIBLE) != 0, want.shown == Shown::kVisible);

            // Position and size are mapped separately, as the dialog manager does.
            RECT box{want.box[0], want.box[1], want.box[2], want.box[3]};
            MapDialogRect(window, &box);
            RECT actual;
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
            RECT got{actual.left, actual.top, actual.right - actual.left,
                     actual.bottom - actual.top};
            // An icon static sizes itself to its icon.
            if (want.icon != 0) {
                got.right = box.right;
                got.bottom = box.bottom;
            }
            // A link label fits itself to its text (LinkLabelTest checks how).
            const bool link =
                want.id == IDC_CONFIG_LINK || want.id == IDC_ABOUT_LINK || want.id == IDC_SITE_LINK;
            EXPECT_TRUE(link || EqualRect(&box, &got))
                << "at " << got.left << "," << got.top << " " << got.right << "x" << got.bottom
                << ", expected " << box.left << "," << box.top << " " << box.right << "x"
                << box.bottom;

            if (want.icon != 0) {
                EXPECT_NE(SendMessageA(child, STM_GETICON, 0, 0), 0) << "no icon shown";
            } else if (want.id != IDC_SITE_LINK) {
                char text[128] = {};
                GetWindowTextA(child, text, sizeof text);
                EXPECT_STREQ(text, want.text);
            }
        }
    }
}

// Tab visits the visible tab stops in template order and never a hidden button.
TEST(DialogTemplateTest, MainWindowTabOrderSkipsHiddenButtons) {
    kestrava::test::FakePlatform platform;
    kestrava::test::SettingsScope settings(platform);
    kestrava::CKestravaDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND window = dialog.m_hWnd;
    std::vector<int> expected;
    for (const ExpectedControl& want : kMainControls) {
        // Start-up hides or disables what the mode does not use; a hidden button never appears.
        HWND item = GetDlgItem(window, want.id);
        if ((want.style & WS_TABSTOP) && want.shown == Shown::kVisible && ::IsWindowVisible(item) &&
            ::IsWindowEnabled(item))
            expected.push_back(want.id);
    }
    std::vector<int> visited;
    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    for (HWND item = first; item != nullptr;) {
        visited.push_back(GetDlgCtrlID(item));
        item = GetNextDlgTabItem(window, item, FALSE);
        if (item == first || visited.size() > 40) break;
    }
    EXPECT_EQ(visited, expected);
    // The window opens with an empty status line and the bar at 0 of 100.
    EXPECT_EQ(dialog.GetDlgItemText(IDC_STATUS_TEXT), "");
    EXPECT_EQ(SendMessageA(dialog.m_progress.m_hWnd, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(dialog.m_progress.m_hWnd, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(dialog.m_configLink.m_hWnd, GetDlgItem(window, IDC_CONFIG_LINK));
    EXPECT_EQ(dialog.m_aboutLink.m_hWnd, GetDlgItem(window, IDC_ABOUT_LINK));
}

struct ExpectedIconImage {
    BYTE width;
    BYTE height;
    BYTE colorCount;  // 0 for more than 8 bits per pixel
    WORD bitCount;
};

struct ExpectedIconGroup {
    WORD id;
    const char* name;
    std::vector<ExpectedIconImage> images;  // largest first
};

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD iconId;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

// One RT_ICON image: its DIB header agrees with the group entry, and the system loads it.
void CheckIconImage(const GroupIconEntry& entry) {
    const Resource image = FindOwnResource(entry.iconId, RT_ICON);
    ASSERT_NE(image.data, nullptr) << "icon image " << entry.iconId << " is missing";
    EXPECT_EQ(image.size, entry.bytesInRes);
    ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data, sizeof header);
    EXPECT_EQ(header.biWidth, entry.width);
    EXPECT_EQ(header.biHeight, 2 * entry.height) << "height must count the AND mask";
    EXPECT_EQ(header.biBitCount, entry.bitCount);

    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE,
                                          0x00030000, entry.width, entry.height, 0);
    EXPECT_NE(icon, nullptr) << "the system cannot load it";
    if (icon != nullptr) DestroyIcon(icon);
}

TEST(IconResourceTest, GroupsHoldTheirImages) {
    const ExpectedIconGroup groups[] = {
        {ID_AND_NAME(IDI_FOLDER_ARROW), {{32, 32, 16, 4}, {16, 16, 16, 4}}},
        {ID_AND_NAME(IDI_FILE_ARROW), {{32, 32, 16, 4}, {16, 16, 16, 4}}},
        {ID_AND_NAME(IDI_ABOUT_ICON), {{128, 128, 0, 24}}},
    };
    for (const ExpectedIconGroup& group : groups) {
        SCOPED_TRACE(group.name);
        const Resource directory = FindOwnResource(group.id, RT_GROUP_ICON);
        ASSERT_NE(directory.data, nullptr) << "icon group is missing";
        ASSERT_GE(directory.size, 6u);
        WORD header[3];
        std::memcpy(header, directory.data, sizeof header);
        EXPECT_EQ(header[0], 0);
        EXPECT_EQ(header[1], 1) << "not an icon directory";
        ASSERT_EQ(header[2], group.images.size());
        ASSERT_GE(directory.size, 6 + header[2] * sizeof(GroupIconEntry));

        std::vector<GroupIconEntry> entries(header[2]);
        std::memcpy(entries.data(), directory.data + 6, entries.size() * sizeof(GroupIconEntry));
        std::sort(
            entries.begin(), entries.end(),
            [](const GroupIconEntry& a, const GroupIconEntry& b) { return a.width > b.width; });
        for (size_t i = 0; i < entries.size(); ++i) {
            const ExpectedIconImage& want = group.images[i];
            const GroupIconEntry& entry = entries[i];
            SCOPED_TRACE(testing::Message() << "image " << int{want.width} << "x"
                                            << int{want.height} << ", " << want.bitCount << " bpp");
            EXPECT_EQ(entry.width, want.width);
            EXPECT_EQ(entry.height, want.height);
            EXPECT_EQ(entry.colorCount, want.colorCount);
            EXPECT_EQ(entry.planes, 1);
            EXPECT_EQ(entry.bitCount, want.bitCount);
            CheckIconImage(entry);
        }
    }
}

// The window icon is loaded from IDR_MAINFRAME, which is meant to find nothing.
TEST(IconResourceTest, MainFrameIconIsAbsent) {
    HMODULE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON), nullptr);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
}

TEST(VersionResourceTest, DescribesTheProduct) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(Hex(fixed->dwSignature), Hex(VS_FFI_SIGNATURE));
    EXPECT_EQ(Hex(fixed->dwFileVersionMS), Hex(MAKELONG(0, 1)));
    EXPECT_EQ(Hex(fixed->dwFileVersionLS), Hex(0));
    EXPECT_EQ(Hex(fixed->dwProductVersionMS), Hex(MAKELONG(0, 1)));
    EXPECT_EQ(Hex(fixed->dwProductVersionLS), Hex(0));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0804) << "language";
    EXPECT_EQ(translation[1], 936) << "code page";

    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } strings[] = {
        {L"ProductName", L"Kestrava"},
        {L"ProductVersion", L"1.0.0.0"},
        {L"FileVersion", L"1.0.0.0"},
    };
    for (const auto& want : strings) {
        SCOPED_TRACE(testing::Message() << "string " << want.key);
        const std::wstring query = std::wstring(L"\\StringFileInfo\\080403a8\\") + want.key;
        wchar_t* value = nullptr;
        if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                            &length) ||
            value == nullptr) {
            ADD_FAILURE() << "missing";
            continue;
        }
        EXPECT_EQ(std::wstring(value), want.value);
    }
}

}  // namespace
