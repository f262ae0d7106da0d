// The control window: a modeless dialog that is never shown. Every command that reaches
// the running instance arrives here, from the command line or from a second start.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/HandoffText.h"
#include "app/TrayIcon.h"
#include "app/framework/Dialog.h"
#include "common/ScopedGdiplus.h"
#include "common/ScopedWin.h"
#include "follow/AlbumInfo.h"

class CVXTailcastDlg : public CDialog {
public:
  CVXTailcastDlg();
  // Frees the work still queued when the loop has ended: it never runs.
  ~CVXTailcastDlg() override;

  HICON Icon() const { return m_icon; }
  // The tray's picture, drawn for the small-icon size at the display's scale.
  HICON TrayIconImage() const { return m_trayIcon.Get(); }
  bool IsAutostartChecked() const { return m_autostart; }
  // From any thread once the message loop has ended; the shell may take its time.
  void RemoveTrayIcon() { m_tray.Remove(); }

  // Runs `work` on the window's thread after everything posted before it; false (and
  // nothing runs) when the window is gone.
  bool PostWork(std::function<void()> work);

protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  void AllowCopyDataFromLowerIntegrity();
  void AddAboutItemToSystemMenu();

  bool OnSysCommand(WPARAM command);
  bool OnPaint();
  LRESULT OnCopyData(const COPYDATASTRUCT* record);
  LRESULT OnTailcastCommand(WPARAM code, LPARAM lParam);
  void OnStartupWork();
  void OnStartupWorkAfterLoopStarts();
  void StartClientOrShowTrayIcon();
  LRESULT OnTrayNotify(LPARAM mouseMessage);
  void OnInitMenuPopup(HMENU popup);
  void OnToggleAutostart();
  void OnCreateDeskFavorCommand(const HandoffText* record);
  void OnTaskbarCreated();
  void OnTrayExit();
  void OnUpdateShortcutUrl(const AlbumInfo* album);
  [[noreturn]] void OnUninstall();

  void GetDataInfoManager(const std::wstring& text);
  void StartGdiplus();

  HICON m_icon = nullptr;
  ScopedIcon m_trayIcon;
  bool m_autostart = false;
  CTrayIcon m_tray;
  UINT m_taskbarCreated = 0;
  // GDI+ for the rest of the process (the window lives as long), started once the loop runs.
  std::optional<ScopedGdiplus> m_gdiplus;
};
