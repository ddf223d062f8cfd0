#include "about/AboutDlg.h"

#include <ole2.h>
#include <olectl.h>

#include "framework/DataExchange.h"
#include "framework/File.h"
#include "framework/Gdi.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace kestrava {

const char* const kAboutText =
    "  版权所有 (C) 2026 Kestrava 开发组 \n\n"
    "  创建于 2026 年 3 月 \n\n"
    "  联系邮箱：kestrava@example.com  \n";
const char* const kSiteAddress = "https://kestrava.example.com/";

namespace {
constexpr UINT_PTR kTypeTimer = 1;
constexpr UINT kTypeIntervalMs = 300;

// Releases a COM interface when it goes.
template <class T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
};
}  // namespace

const MsgEntry CAboutDlg::kEntries[] = {
    on::Command<&CAboutDlg::OnLoadPicture>(IDC_LOAD_PICTURE),
    on::Message<&CAboutDlg::OnPaint>(WM_PAINT),
    on::CtlColor<&CAboutDlg::OnCtlColor>(),
    on::Timer<&CAboutDlg::OnTimer>(),
    on::Message<&CAboutDlg::OnClose>(WM_CLOSE),
};
const MessageMap CAboutDlg::kMessageMap{&CDialog::kMessageMap, kEntries};

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SITE_LINK, m_siteLink);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    g_nLinkMode = 2;
    m_siteLink.SetLinkTarget(kSiteAddress);
    m_siteLink.SetLinkColors(kLinkColour, kVisitedColour, kVisitedColour);
    SetTimer(kTypeTimer, kTypeIntervalMs);
    m_strAboutText = kAboutText;
    m_nTypePos = 0;
    // The file's place afresh, as the settings find it; the title is read whole.
    SetWindowText(std::string("关于-") + ReadSetting(ComputeConfigPath(), key::Headline));
    return TRUE;
}

void CAboutDlg::OnTimer(UINT_PTR) {
    if (m_nTypePos < static_cast<int>(m_strAboutText.size())) {
        // Everything before the character passed over now; a lead byte takes its trail.
        const std::string shown = m_strAboutText.substr(0, static_cast<size_t>(m_nTypePos));
        m_nTypePos += static_cast<unsigned char>(m_strAboutText[m_nTypePos]) >= 0x80 ? 2 : 1;
        SetDlgItemText(IDC_ABOUT_TEXT, shown);
    } else {
        KillTimer(kTypeTimer);
    }
    Default();
}

void CAboutDlg::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
}

HBRUSH CAboutDlg::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    // The default lets the site link choose its colours first; black overrides them.
    HBRUSH brush = CDialog::OnCtlColor(dc, control, ctlType);
    if (ctlType == CTLCOLOR_DLG) {
        ::SetBkMode(dc, TRANSPARENT);
    } else if (ctlType == CTLCOLOR_STATIC) {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0, 0, 0));
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    return brush;
}

void CAboutDlg::OnOK() {
    g_nLinkMode = 1;
    KillTimer(kTypeTimer);
    CDialog::OnOK();
}

void CAboutDlg::OnCancel() {
    g_nLinkMode = 1;
    KillTimer(kTypeTimer);
    CDialog::OnCancel();
}

void CAboutDlg::OnClose() {
    g_nLinkMode = 1;
    KillTimer(kTypeTimer);
    Default();
}

void CAboutDlg::OnLoadPicture() {
    CFile file(L"ResourceFiles\\icon1.ico", CFile::modeRead);
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > MAXDWORD) return;
    CGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length)));
    void* bytes = block ? ::GlobalLock(block) : nullptr;
    if (!bytes) return;
    UINT read = 0;
    try {
        read = file.Read(bytes, static_cast<UINT>(length));
    } catch (...) {
        ::GlobalUnlock(block);
        throw;
    }
    ::GlobalUnlock(block);
    if (read != length) return;

    Released<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream.p))) return;
    block.Detach();  // the stream frees it now
    Released<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.p, static_cast<LONG>(length), TRUE, IID_IPicture,
                                reinterpret_cast<void**>(&picture.p)))) {
        return;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture.p->get_Width(&width);
    picture.p->get_Height(&height);

    CClientDC dc(m_hWnd);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    ::SetScrollRange(m_hWnd, SB_VERT, 0, height / 100 + client.top - client.bottom, TRUE);
    ::SetScrollRange(m_hWnd, SB_HORZ, 0, width / 100 + client.left - client.right, TRUE);
    picture.p->Render(dc, 1, 50, width / 100, height / 100, 0, height, width, -height, nullptr);
}

}  // namespace kestrava
