// The bar in the system tray: its icon and the icon's mouse actions, hiding
// and restoring, the two system-wide hot keys, the bar's timers, and what a
// restarted shell needs from us.
#include "bar/BarWnd.h"
#include "app/Settings.h"
#include "hooks/taskbar/bartask.h"
#include <shlwapi.h>
#include <cstring>

namespace {

// Bound at run time: shell32 exports DllGetVersion only from 4.71 on.
DWORD ShellMajorVersion() {
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
      GetProcAddress(GetModuleHandleA("shell32.dll"), "DllGetVersion"));
  DLLVERSIONINFO info = {};
  info.cbSize = sizeof info;
  if (getVersion && SUCCEEDED(getVersion(&info))) return info.dwMajorVersion;
  return 4;
}

}  // namespace

DWORD TrayRecordSize(DWORD shellMajorVersion) {
  return shellMajorVersion < 5 ? NOTIFYICONDATAA_V1_SIZE : NOTIFYICONDATAA_V2_SIZE;
}

NOTIFYICONDATAA TrayIconRecord(HWND owner, HICON icon) {
  static const DWORD size = TrayRecordSize(ShellMajorVersion());
  NOTIFYICONDATAA data = {};
  data.cbSize = size;
  data.hWnd = owner;
  data.uID = ID_TRAY_ICON;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_BAR_TRAYICON;
  data.hIcon = icon;
  strcpy(data.szTip, BAR_TITLE);
  return data;
}

// Failures (an icon that is already there, no shell) change nothing for us.
void CBarWnd::AddTrayIcon() {
  NOTIFYICONDATAA data = TrayIconRecord(hwnd, smallIcon);
  Shell_NotifyIconA(NIM_ADD, &data);
}

void CBarWnd::RemoveTrayIcon() {
  NOTIFYICONDATAA data = TrayIconRecord(hwnd, smallIcon);
  Shell_NotifyIconA(NIM_DELETE, &data);
}

void CBarWnd::HideToTray() {
  AddTrayIcon();
  ShowWindow(hwnd, SW_HIDE);
  RemoveAppBar();
  lastActiveBrowser = activeBrowser;
  frontAfterPlacement = nullptr;  // a restore not yet finished is over
  // SHIFT does the opposite of "Hide browsers when Marbel! hides", this once.
  // Posted to each window's thread: a hung browser cannot stop us.
  if (Settings.hideBrowsersOnHide != (GetKeyState(VK_SHIFT) < 0))
    for (auto it = browsers.rbegin(); it != browsers.rend(); ++it)
      ShowWindowAsync(it->window, SW_MINIMIZE);
}

void CBarWnd::RestoreFromTray() {
  if (!Settings.stickingMode) {
    RegisterAppBar();
    PositionBar();
    RemoveTrayIcon();
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  HWND front = lastActiveBrowser;
  if (!front && !browsers.empty()) front = browsers.back().window;
  // The only step that shows minimised browser windows again.
  PlaceBrowserWindows(nullptr, front);
  if (Settings.stickingMode) {
    PositionBar();  // under the active browser window
    SetForegroundWindow(hwnd);
  }
}

void CBarWnd::HideOrRestore() {
  if (IsWindowVisible(hwnd)) HideToTray();
  else RestoreFromTray();
}

LRESULT CBarWnd::OnTrayIcon(WPARAM, LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDOWN:
      RestoreFromTray();
      break;
    case WM_LBUTTONDBLCLK:
      NewBrowserWindow();
      break;
    case WM_RBUTTONDOWN: {
      POINT pointer;
      GetCursorPos(&pointer);
      ShowBarMenu(pointer);
      break;
    }
  }
  return 0;
}

LRESULT CBarWnd::OnTimer(WPARAM id, LPARAM) {
  if (id == IDT_AUTOHIDE) {
    HideToTray();
    KillTimer(hwnd, IDT_AUTOHIDE);  // it fires once
  } else if (id == IDT_FRONT_AFTER_RESTORE) {
    BringFrontForward();
  } else if (id == IDT_BUTTONS) {
    UpdateButtons();
  } else if (id == IDT_HOLD_MENU) {
    // Forwarded by the new-window button: the menu opens above the bar.
    POINT bottomLeft = {50, 2};
    ClientToScreen(hwnd, &bottomLeft);
    ShowBarMenu(bottomLeft);
  }
  return Default();
}

LRESULT CBarWnd::OnHotKey(WPARAM id, LPARAM) {
  if (id == HOTKEY_HIDE) HideOrRestore();
  else if (id == HOTKEY_NEW) NewBrowserWindow();
  else if (id == HOTKEY_NEXT) ActivateNextBrowser();
  return 1;
}

LRESULT CBarWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (taskbarCreatedMessage && msg == taskbarCreatedMessage) {
    // A new shell knows no icons: a hidden bar needs its own back, and so
    // does a sticking bar, which keeps its icon while shown.
    if (!IsWindowVisible(hwnd) || Settings.stickingMode) {
      AddTrayIcon();
    } else {  // docked: nor does it know app bars
      RegisterAppBar();
      PositionBar();
    }
    // The new taskbar runs on a new thread: hook that one.
    SetTaskbarHook(Settings.catchExplorer);
  }
  return fw::CWnd::WindowProc(msg, wParam, lParam);
}
