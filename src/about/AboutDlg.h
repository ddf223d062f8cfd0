#pragma once
#include <windows.h>

#include <string>

#include "controls/LinkLabel.h"
#include "framework/Dialog.h"
#include "resource.h"

namespace kestrava {

// The About box: types its text out on a white face and offers the site link. While it
// is open a link label's click opens its own target instead of the configuration file.
class CAboutDlg : public CDialog {
  public:
    CAboutDlg() : CDialog(IDD_ABOUT_DIALOG) {}

    CLinkLabel m_siteLink;
    std::string m_strAboutText;
    // Byte index of the next character to type.
    int m_nTypePos = 0;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnLoadPicture();
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType);
    void OnTimer(UINT_PTR id);
    void OnClose();

    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MessageMap kMessageMap;
    static const MsgEntry kEntries[];
};

// Three lines, each with two blanks before and one after (the contact line two), a blank
// line between them and a final line break, which the typewriter never shows.
extern const char* const kAboutText;
extern const char* const kSiteAddress;

}  // namespace kestrava
