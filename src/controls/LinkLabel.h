#pragma once
#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Gdi.h"

namespace kestrava {

// The colours every label of this program is given: blue, dark red when visited or hovered.
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kVisitedColour = RGB(128, 0, 0);

// What every link label shares: its caption underlined in its own font and fitted to the
// text, a colour per state, hover tracking with the mouse capture, the hand cursor and a
// tooltip that shows the target. What a click does is the variant's.
class CLinkLabelBase : public CStatic {
  public:
    CLinkLabelBase();

    // A hover colour of -1 takes the system highlight colour of this moment.
    void SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover);

    BOOL PreTranslateMessage(MSG* msg) override;

    COLORREF m_clrLink = RGB(0, 0, 238);
    COLORREF m_clrVisited = RGB(85, 26, 139);
    COLORREF m_clrHover;
    BOOL m_bHover = FALSE;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bFitToText = TRUE;
    std::string m_strTarget;
    CFont m_fontLink;
    CCursorCopy m_hHandCursor;
    CToolTipCtrl m_tipCtrl;

  protected:
    void PreSubclassWindow() override;
    void PostNcDestroy() override;

    virtual void OnClicked() = 0;
    HBRUSH CtlColor(HDC dc, UINT ctlType);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, POINT point);

    void FitToText();
    void LoadHandCursor();
    // The whole label, background included, at the next paint.
    void InvalidateAll();

    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MessageMap kMessageMap;
    static const MsgEntry kEntries[];
};

// A static text that looks and behaves like a web link. In link mode 1 a click opens
// the configuration file; otherwise it opens the label's own target.
class CLinkLabel : public CLinkLabelBase {
  public:
    // An empty target is ignored.
    void SetLinkTarget(std::string target);
    void SetVisitedFlag(BOOL visited);

  protected:
    void OnClicked() override;
    // The shell's result, or the fallback's when the shell could not open target.
    INT_PTR ShellOpen(const std::string& target, int show);
    // The key's default value; true when the key opened (the value may then be empty).
    static bool QueryRegDefault(HKEY root, const std::string& subKey, std::string& value);
    static void ShowOpenError(INT_PTR code);
};

}  // namespace kestrava
