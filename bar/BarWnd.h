// The bar: one top-level window docked at a desktop edge (or riding under
// the active browser window) with one button per browser window.
// One class over several files, by concern:
//   BarWnd.cpp       class, creation order, message table, shutdown
//   Docking.cpp      app-bar registration and placement
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "hooks/shell/barshell.h"

// Messages the bar receives (values fixed: other programs and our hook
// libraries send them).
const UINT WM_BAR_TRAYICON = WM_USER + 1;
const UINT WM_BAR_APPBAR = WM_USER + 2;
// WM_BAR_SHELLEVENT (WM_USER + 3) comes from barshell.h.

const char BAR_CLASS[] = "MARBEL_MANAGER_CLASS";
const char BAR_TITLE[] = "Marbel!";

const int HOTKEY_HIDE = 240;
const int HOTKEY_NEW = 241;

struct BrowserEntry {
  HWND window = nullptr;
  std::string title;
  RECT buttonRect = {0, 0, 0, 0};
};

class CBarWnd : public fw::CWnd {
public:
  CBarWnd();
  ~CBarWnd() override;

  // Registers the class and creates the window; false when creation failed.
  bool Create(const RECT& rect, HWND parent);

  // Docking.
  void RegisterAppBar();
  void RemoveAppBar();
  void PositionBar();
  LRESULT OnAppBarNotify(WPARAM code, LPARAM data);

  std::vector<BrowserEntry> browsers;
  HWND activeBrowser = nullptr;
  HWND lastActiveBrowser = nullptr;
  HWND windowBeforeFullScreen = nullptr;
  UINT taskbarCreatedMessage = 0;
  int lastPrefsPage = 0;
  int browserCreateCount = 0;

protected:
  void PostNcDestroy() override { delete this; }

private:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnWindowPosChanged(WPARAM, LPARAM);
  LRESULT OnActivate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnAppBarMessage(WPARAM w, LPARAM l) { return OnAppBarNotify(w, l); }

  // Tells the shell about this app bar: ABM_NEW, ABM_QUERYPOS and so on.
  UINT_PTR AppBarMessage(DWORD message, APPBARDATA& data);
  void LayoutInterfaceButtons(int clientWidth);

  HICON largeIcon = nullptr;
  HICON smallIcon = nullptr;
  HBITMAP closeGlyph = nullptr;
  BITMAP closeGlyphInfo = {};
  fw::CToolTip toolTip;

  DECLARE_MESSAGE_TABLE();
};
