// The window layer against real Win32 controls: dispatch, reflection, data exchange,
// the exception boundary, dialog keys and the modal loop's pre-translation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "framework/MbString.h"
#include "framework/WinApp.h"
#include "support/Fixtures.h"
#include "support/TestDialogs.h"

namespace kestrava::test {
namespace {

using mbs::Format;
std::vector<std::string>* g_log = nullptr;
void Log(const std::string& s) {
    if (g_log) g_log->push_back(s);
}

class TestLabel : public CStatic {
  public:
    int preSubclassCount = 0;
    std::vector<UINT> preTranslated;
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    ~TestLabel() override { ::DeleteObject(brush); }

    void OnClicked() { Log("label:clicked"); }
    HBRUSH CtlColor(HDC, UINT type) {
        Log("label:ctlcolor" + std::to_string(type));
        return brush;
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        preTranslated.push_back(msg->message);
        return FALSE;
    }

  protected:
    void PreSubclassWindow() override { ++preSubclassCount; }
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MsgEntry kEntries[];
    static const MessageMap kMessageMap;
};

const MsgEntry TestLabel::kEntries[] = {
    on::CommandReflect<&TestLabel::OnClicked>(STN_CLICKED),
    on::CtlColorReflect<&TestLabel::CtlColor>(),
};
const MessageMap TestLabel::kMessageMap{&CStatic::kMessageMap, kEntries};

class TestDlg : public CDialog {
  public:
    TestDlg() : CDialog(IDD_TEST_DIALOG) {}

    TestLabel m_label;
    std::string m_text;
    bool throwInPaint = false;
    int paints = 0;
    std::function<void(TestDlg&)> onInit;

    void OnGo() { Log("go"); }
    void OnGoDouble() { Log("go:double"); }
    void OnLabelParent() { Log("parent:label"); }
    void OnThrow() { CFile file("Z:\\no\\such\\folder\\缺失.txt", CFile::modeRead); }
    void OnEditChange() { Log("change:" + GetDlgItemText(IDC_T_EDIT)); }
    void OnTimer(UINT_PTR id) { Log("timer" + std::to_string(id)); }
    void OnPaint() {
        ++paints;
        if (throwInPaint) throw CFileException(CFileException::hardIO, 0, "paint.bin");
        Default();
    }
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) {
        if (control == m_label.m_hWnd) Log("parent:ctlcolor" + std::to_string(type));
        return CDialog::OnCtlColor(dc, control, type);
    }

  protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_T_LABEL, m_label);
        DDX_Text(dx, IDC_T_EDIT, m_text);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return TRUE;
    }
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MsgEntry kEntries[];
    static const MessageMap kMessageMap;
};

const MsgEntry TestDlg::kEntries[] = {
    on::Command<&TestDlg::OnGo>(IDC_T_GO),
    on::Command<&TestDlg::OnGoDouble>(IDC_T_GO, BN_DOUBLECLICKED),
    on::Command<&TestDlg::OnLabelParent>(IDC_T_LABEL, STN_CLICKED),
    on::Command<&TestDlg::OnThrow>(IDC_T_THROW),
    on::Command<&TestDlg::OnEditChange>(IDC_T_EDIT, EN_CHANGE),
    on::Timer<&TestDlg::OnTimer>(),
    on::Message<&TestDlg::OnPaint>(WM_PAINT),
    on::CtlColor<&TestDlg::OnCtlColor>(),
};
const MessageMap TestDlg::kMessageMap{&CDialog::kMessageMap, kEntries};

class FrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override { g_log = &log; }
    void TearDown() override { g_log = nullptr; }
    std::vector<std::string> log;
    FakePlatform platform;
};

TEST(CodePage, AnsiCodePageIs936) {
    ASSERT_EQ(::GetACP(), 936u) << "run with LANG=zh_CN.UTF-8 and the locale generated";
    // A literal of the program must arrive as GBK bytes.
    EXPECT_EQ(std::string("宋体"), std::string("\xCB\xCE\xCC\xE5"));
}

// One window through the exchange both ways, table dispatch by command code, reflection
// to the child (after the parent's colour handler) and the exception boundary.
TEST_F(FrameworkTest, ExchangeDispatchReflectionAndExceptionBoundary) {
    TestDlg dlg;
    dlg.m_text = "初始";
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.m_label.m_hWnd, dlg.GetDlgItem(IDC_T_LABEL));
    EXPECT_EQ(dlg.m_label.preSubclassCount, 1);
    dlg.m_text = "C:\\誠\\目标";
    dlg.UpdateData(false);
    // Setting a text notifies inside the call, also when it does not change.
    dlg.SetDlgItemText(IDC_T_EDIT, "15");
    dlg.SetDlgItemText(IDC_T_EDIT, "15");
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_text, "15");
    SendCommand(dlg.m_hWnd, IDC_T_GO, BN_CLICKED);
    SendCommand(dlg.m_hWnd, IDC_T_GO, BN_DOUBLECLICKED);
    SendCommand(dlg.m_hWnd, IDC_T_GO, BN_SETFOCUS);  // no entry: ignored
    ::SendMessageA(dlg.m_hWnd, WM_TIMER, 7, 0);
    SendCommand(dlg.m_hWnd, IDC_T_THROW, BN_CLICKED);
    ::SendMessageA(dlg.GetDlgItem(IDC_T_GO), BM_CLICK, 0, 0);  // through the real button
    EXPECT_EQ(log, (std::vector<std::string>{"change:初始", "change:C:\\誠\\目标", "change:15",
                                             "change:15", "go", "go:double", "timer7", "go"}));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].text.find("Z:\\no\\such\\folder\\缺失.txt"), std::string::npos);
    EXPECT_EQ(platform.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(platform.boxes[0].caption, "kestrava_tests");

    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    PumpMessages(50);
    log.clear();
    HWND label = dlg.m_label.m_hWnd;
    ::InvalidateRect(label, nullptr, TRUE);
    ::UpdateWindow(label);
    const std::string type = std::to_string(CTLCOLOR_STATIC);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0] + " " + log[1], "parent:ctlcolor" + type + " label:ctlcolor" + type);
    HDC dc = ::GetDC(label);
    EXPECT_EQ(::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(label)),
              reinterpret_cast<LRESULT>(dlg.m_label.brush));
    ::ReleaseDC(label, dc);
    log.clear();
    ::SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(log, (std::vector<std::string>{"label:clicked"})) << "not the parent's entry";

    // A throw while painting shows nothing and validates, or it paints again and again.
    dlg.throwInPaint = true;
    dlg.paints = 0;
    ::InvalidateRect(dlg.m_hWnd, nullptr, TRUE);
    PumpMessages(300);
    EXPECT_EQ(dlg.paints, 1);
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_FALSE(::GetUpdateRect(dlg.m_hWnd, nullptr, FALSE));
}

// Enter exchanges from the window first and ends with IDOK, Esc takes the cancel route;
// on the way the loop lets the child static pre-translate a mouse move aimed at it.
TEST_F(FrameworkTest, EnterAndEscapeEndTheModalDialog) {
    for (const auto& [key, result, text] :
         {std::tuple{VK_RETURN, IDOK, "typed"}, std::tuple{VK_ESCAPE, IDCANCEL, "before"}}) {
        SCOPED_TRACE(text);
        TestDlg dlg;
        dlg.m_text = "before";
        dlg.onInit = [key = key](TestDlg& d) {
            HWND edit = d.GetDlgItem(IDC_T_EDIT);
            ::SetWindowTextA(edit, "typed");
            ::SetFocus(edit);
            ::PostMessageA(d.GetDlgItem(IDC_T_LABEL), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            ::PostMessageA(edit, WM_KEYDOWN, key, 1);
            ::PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
            ::SetTimer(d.m_hWnd, 99, 5000, nullptr);  // a stuck loop ends as a failure
        };
        EXPECT_EQ(dlg.DoModal(), result);
        EXPECT_EQ(dlg.m_text, text);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        EXPECT_EQ(std::ranges::count(dlg.m_label.preTranslated, UINT{WM_MOUSEMOVE}), 1);
    }
}

// scripts/test runs this one first to start Wine's desktop process.
TEST_F(FrameworkTest, CloseTakesTheCancelRoute) {
    TestDlg dlg;
    dlg.onInit = [](TestDlg& d) { ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(MbString, DoubleByteTrailBackslashIsNotASeparator) {
    // 誠 is D5 5C: its trail byte is the backslash code.
    const std::string path = "C:\\誠\\誠";
    EXPECT_EQ(
        Format("%d %d %d %d %d", mbs::ReverseFind(path, '\\'), mbs::Find(path, '\\', 3),
               mbs::ReverseFind("誠", '\\'), mbs::Find("誠a", 'a'), mbs::Find(path, "\\誠", 3)),
        "5 5 -1 2 5");
    EXPECT_EQ(mbs::Right(path, 2) + mbs::Left("ab", -1) + mbs::Format("%s%d秒", "还有", 2),
              "誠还有2秒");
}

}  // namespace
}  // namespace kestrava::test
