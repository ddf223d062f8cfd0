// The window layer against real Win32 controls: dispatch, reflection, data exchange,
// the exception boundary and the modal loop's pre-translation.
#include <objbase.h>

#include <thread>
#include <tuple>

#include "framework/DataExchange.h"
#include "framework/MbString.h"
#include "framework/WinApp.h"
#include "support/Fixtures.h"
#include "resource.h"

namespace kestrava::test {
namespace {

std::vector<std::string> g_log;
const auto Log = [](const std::string& s) { g_log.push_back(s); };
const HBRUSH kLabelBrush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));

class TestLabel : public CStatic {
  public:
    void OnClicked() { Log("label:clicked"); }
    HBRUSH CtlColor(HDC, UINT type) { return Log("color" + std::to_string(type)), kLabelBrush; }
    int moves = 0;  // mouse moves it pre-translated
    BOOL PreTranslateMessage(MSG* m) override { return moves += m->message == WM_MOUSEMOVE, FALSE; }

  protected:
    void PreSubclassWindow() override { Log("label:subclassed"); }
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MsgEntry kEntries[];
    static const MessageMap kMessageMap;
};
const MsgEntry TestLabel::kEntries[] = {on::CommandReflect<&TestLabel::OnClicked>(STN_CLICKED),
                                        on::CtlColorReflect<&TestLabel::CtlColor>()};
const MessageMap TestLabel::kMessageMap{&CStatic::kMessageMap, kEntries};

// The main window's template with handlers of its own: an edit, a static, two buttons.
class TestDlg : public CDialog {
  public:
    TestDlg() : CDialog(IDD_MAIN_DIALOG) {}
    TestLabel m_label;
    std::string m_text;
    int paints = 0;
    std::function<void(TestDlg&)> onInit = [](TestDlg&) {};  // run after the exchange

    void OnGo() { Log("go"); }
    void OnGoDouble() { Log("go:double"); }
    void OnThrow() { CFile file(L"Z:\\no\\such\\folder\\缺失.txt", CFile::modeRead); }
    void OnEditChange() { Log("change:" + GetDlgItemText(IDC_SOURCE_PATH)); }
    void OnTimer(UINT_PTR) { EndDialog(0); }  // a stuck modal loop ends as a failure
    void OnPaint() { throw ++paints; }        // each paint counted and ended by a throw

  protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_STATUS_TEXT, m_label);
        DDX_Text(dx, IDC_SOURCE_PATH, m_text);
    }
    BOOL OnInitDialog() override { return CDialog::OnInitDialog(), onInit(*this), TRUE; }
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MsgEntry kEntries[];
    static const MessageMap kMessageMap;
};
const MsgEntry TestDlg::kEntries[] = {
    on::Command<&TestDlg::OnGo>(IDC_COPY),
    on::Command<&TestDlg::OnGoDouble>(IDC_COPY, BN_DOUBLECLICKED),
    on::Command<&TestDlg::OnGo>(IDC_STATUS_TEXT, STN_CLICKED),  // the label's own entry comes first
    on::Command<&TestDlg::OnThrow>(IDC_CLOSE),
    on::Command<&TestDlg::OnEditChange>(IDC_SOURCE_PATH, EN_CHANGE),
    on::Timer<&TestDlg::OnTimer>(),
    on::Message<&TestDlg::OnPaint>(WM_PAINT),
};
const MessageMap TestDlg::kMessageMap{&CDialog::kMessageMap, kEntries};

// One window through the exchange both ways, dispatch by command code, reflection to the
// child and the exception boundary.
TEST(FrameworkTest, ExchangeDispatchReflectionAndExceptionBoundary) {
    FakePlatform platform;
    platform.onBox = [](const ShownBox& box) {
        Log(box.caption + ((box.type & MB_ICONMASK) == MB_ICONSTOP ? " stop: " : ": ") + box.text);
    };
    g_log.clear();
    TestDlg dlg;
    dlg.m_text = "初始";
    ASSERT_TRUE(dlg.Create());
    // Setting a text notifies inside the call, also when it does not change.
    dlg.SetDlgItemText(IDC_SOURCE_PATH, "15");
    dlg.SetDlgItemText(IDC_SOURCE_PATH, "15");
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_text, "15");
    SendCommand(dlg.m_hWnd, IDC_COPY, BN_CLICKED);
    SendCommand(dlg.m_hWnd, IDC_COPY, BN_DOUBLECLICKED);
    SendCommand(dlg.m_hWnd, IDC_COPY, BN_SETFOCUS);  // no entry: ignored
    SendCommand(dlg.m_hWnd, IDC_STATUS_TEXT, STN_CLICKED);
    EXPECT_EQ(dlg.SendMessage(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(dlg.m_label.m_hWnd)),
              reinterpret_cast<LRESULT>(kLabelBrush));
    SendCommand(dlg.m_hWnd, IDC_CLOSE, BN_CLICKED);
    ::SendMessageA(dlg.GetDlgItem(IDC_COPY), BM_CLICK, 0, 0);  // through the real button
    EXPECT_EQ(g_log,
              (std::vector<std::string>{
                  "label:subclassed", "change:初始", "change:15", "change:15", "go", "go:double",
                  "label:clicked", "color6",
                  "kestrava_tests stop: Z:\\no\\such\\folder\\缺失.txt 包含无效路径。", "go"}));
    // A throw while painting shows nothing and validates, or it paints again and again.
    ::ShowWindow(dlg.m_hWnd, SW_SHOW);
    PumpMessages(300);
    EXPECT_EQ(dlg.paints, 1);
    EXPECT_FALSE(::GetUpdateRect(dlg.m_hWnd, nullptr, FALSE));
    EXPECT_EQ(platform.boxes.size(), 1u);
}

// Enter exchanges from the window first and ends with IDOK, Esc takes the cancel route;
// on the way the loop lets the child static pre-translate a mouse move aimed at it.
TEST(FrameworkTest, EnterAndEscapeEndTheModalDialog) {
    for (const auto& [key, result, text] :
         {std::tuple{VK_RETURN, IDOK, "typed"}, std::tuple{VK_ESCAPE, IDCANCEL, "before"}}) {
        SCOPED_TRACE(text);
        TestDlg dlg;
        dlg.m_text = "before";
        dlg.onInit = [key = key](TestDlg& d) {
            ::SetWindowTextA(d.GetDlgItem(IDC_SOURCE_PATH), "typed");
            ::PostMessageA(d.m_label.m_hWnd, WM_MOUSEMOVE, 0, 0);
            ::PostMessageA(d.GetDlgItem(IDC_SOURCE_PATH), WM_KEYDOWN, key, 1);
            ::SetTimer(d.m_hWnd, 1, 5000, nullptr);
        };
        EXPECT_EQ(dlg.DoModal(), result);
        EXPECT_EQ(dlg.m_text, text);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
        EXPECT_EQ(dlg.m_label.moves, 1);
    }
}

// scripts/test runs this one first to start Wine's desktop process.
TEST(FrameworkTest, CloseTakesTheCancelRoute) {
    TestDlg dlg;
    dlg.onInit = [](TestDlg& d) { ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// The entry runs the application in a single-threaded COM apartment (the shell's folder
// dialog needs one) and leaves the thread's COM as it found it, also on a thread already in
// another apartment. Each case on a thread of its own: this one has COM already.
TEST(FrameworkTest, EntryRunsTheApplicationInASingleThreadedApartment) {
    static const auto apartment = [] {
        APTTYPE type;
        APTTYPEQUALIFIER qualifier;
        return FAILED(::CoGetApartmentType(&type, &qualifier)) ? "none"
               : type == APTTYPE_MTA                           ? "mta"
                                                               : "sta";
    };
    struct App : CWinApp {
        std::string seen;
        BOOL InitInstance() override { return seen = apartment(), FALSE; }
    };
    for (const auto& [mta, expected] : {std::pair{false, "sta none"}, {true, "mta mta"}}) {
        std::string seen;
        std::thread([&, mta = mta] {
            if (mta) ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            App app;
            AfxWinMain();
            seen = app.seen + " " + apartment();
            if (mta) ::CoUninitialize();
        }).join();
        EXPECT_EQ(seen, expected) << "mta " << mta;
    }
}

TEST(MbString, DoubleByteTrailBackslashIsNotASeparator) {
    ASSERT_EQ(::GetACP(), 936u) << "run with LANG=zh_CN.UTF-8 and the locale generated";
    const std::string path = "C:\\誠\\誠";  // 誠 is D5 5C: its trail byte is the backslash code
    EXPECT_EQ(mbs::Format("%d %d %d %d %d ", mbs::ReverseFind(path, '\\'), mbs::Find(path, '\\', 3),
                          mbs::ReverseFind("誠", '\\'), mbs::Find("誠a", 'a'),
                          mbs::Find(path, "\\誠", 3)) +
                  mbs::Right(path, 2) + mbs::Left("ab", -1) + mbs::Format("%s%d秒", "还有", 2),
              "5 5 -1 2 5 誠还有2秒");
}

}  // namespace
}  // namespace kestrava::test
