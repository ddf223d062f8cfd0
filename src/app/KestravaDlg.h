#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "about/AboutDlg.h"
#include "about/AboutLinkLabel.h"
#include "controls/LinkLabel.h"
#include "copy/CopyLog.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "resource.h"

namespace kestrava {

// The file name a folder-mode target carries; the folder copy uses only its directory.
inline constexpr const char* PLACEHOLDER_NAME = "复制文件夹功能启动.txt";

class CKestravaDlg : public CDialog {
  public:
    explicit CKestravaDlg(CWnd* parent = nullptr);
    ~CKestravaDlg() override;

    std::string m_strSourceName;
    std::string m_strTargetFile;
    std::string m_strSourceFile;

    // The transfer reads and writes this many bytes at a time (fewer calls than 512-byte
    // chunks, at a few hundred kilobytes the disk's own pace); the bar still counts 512-byte steps.
    static constexpr UINT kCopyBlockSize = 256u << 10;

    // State of the running (or last) transfer. The file objects stay, closed, until the
    // next transfer replaces them; the buffer is freed when a transfer ends either way.
    HGLOBAL m_hCopyBuffer = nullptr;
    std::unique_ptr<CFile> m_pTargetFile;
    std::unique_ptr<CFile> m_pSourceFile;
    UINT m_nBytesRead = 0;
    LONGLONG m_nPosition = 0;
    LONGLONG m_nLength = 0;
    BYTE* m_pCopyBuffer = nullptr;

    CLinkLabel m_configLink;
    CAboutLinkLabel m_aboutLink;
    CAboutDlg m_aboutDlg;
    CProgressCtrl m_progress;
    std::string m_strSourceCopy;
    // Full path of the folder a running folder copy fills; its walk never enters it.
    std::wstring m_strTargetFolderPath;
    HICON m_hIcon = nullptr;
    // The log's line for the copy command that runs; TransferFile counts into it.
    CopyLogEntry m_copyLog;
    // Set by the unattended start for the copy command it runs, which clears it.
    bool m_bUnattendedCopy = false;

    // Command and message handlers.
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void LoadSettings();
    void OnBrowseSource();
    void OnBrowseTarget();
    void OnCopy();
    void OnAutoRunSwitch();
    void ExitImmediately();
    void WaitThenAskToExit();
    void OnDelaySecondsChange();
    void OnDelaySwitch();
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnSourceKindSwitch();
    void OnConfigLinkClicked();
    void OnAboutButton();
    void OnFolderCopy();
    void OnCopySingleFile();
    void RunUnattendedStart();

    // Routines the handlers share.
    void RunAfterCopyAction();
    void WaitPumpingMessages();
    // Both paths are the file system's own names, extended-length where they are absolute.
    void TransferFile(std::wstring source, std::wstring target);
    // One level of the folder copy: sourceDir's entries into targetDir, depth first.
    void CopyFolderTree(std::wstring sourceDir, std::wstring targetDir);
    // The name after the last separator, without its extension unless keepExtension.
    static std::string GetPathTitle(std::string path, bool keepExtension);
    // Runs the unattended start once, at the first paint after the settings load.
    void TriggerUnattendedStart();
    // Makes the stored source kind and target fit the stored source path.
    void ReconcilePaths();
    void SetCheck(int id, bool checked);
    // A copy command's line in the log: begun once the boxes are read, written when the
    // command ends, before the after-copy action or the report of its error. Inside a
    // catch, a failure takes the exception's text.
    void BeginCopyLog(bool folder);
    void EndCopyLog(CopyOutcome outcome) noexcept;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    static const MessageMap kMessageMap;
    static const MsgEntry kEntries[];
};

}  // namespace kestrava
