#pragma once
#include "framework/Wnd.h"

namespace kestrava {

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}
    ~CDialog() override;

    // Creates the window, runs our own modal loop until EndDialog, and returns its code.
    INT_PTR DoModal();
    // Creates the window without a loop of its own (tests drive it directly).
    bool Create(CWnd* parent = nullptr);
    // Ends the modal loop with code; the window is destroyed when DoModal returns.
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* msg) override;

    bool IsEnded() const { return m_bEnded; }

  protected:
    virtual void OnOK();
    virtual void OnCancel();

    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MessageMap kMessageMap;
    static const MsgEntry kEntries[];

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    HWND CreateFromTemplate(HWND owner);
    void RunModalLoop();
    // The window procedures of the target window and its parents see a message first.
    bool WalkPreTranslate(MSG& msg);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;
    bool m_bEnded = false;
};

}  // namespace kestrava
