// The bar: one top-level window docked at a desktop edge (or riding under
// the active browser window) with one button per browser window.
// One class over several files, by concern:
//   BarWnd.cpp       class, creation order, message table, shutdown
//   Docking.cpp      app-bar registration and placement
//   BrowserList.cpp  which windows are browsers, the scan, shell events,
//                    placement of browser windows
//   Painting.cpp     the buttons, their layout and the tooltips
//   Input.cpp        mouse clicks on the bar and the per-button menu
//   Commands.cpp     the bar menu, command routing, starting a browser
//   Tray.cpp         the tray icon, hiding and restoring, hot keys, timers,
//                    the shell's restart
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "buttons/HoverButton.h"
#include "framework/Wnd.h"
#include "hooks/BrowserClass.h"
#include "hooks/shell/barshell.h"
#include "app/StartupMarks.h"

// Messages the bar receives (values fixed: other programs and our hook
// libraries send them).
const UINT WM_BAR_TRAYICON = WM_USER + 1;
const UINT WM_BAR_APPBAR = WM_USER + 2;
// WM_BAR_SHELLEVENT (WM_USER + 3) comes from barshell.h, WM_BAR_STARTUPMARK
// (WM_USER + 4) from StartupMarks.h.

const char BAR_CLASS[] = "MARBEL_MANAGER_CLASS";
const char BAR_TITLE[] = "Marbel!";

const int HOTKEY_HIDE = 240;
const int HOTKEY_NEW = 241;
const int HOTKEY_NEXT = 242;
const UINT ID_TRAY_ICON = 0x8003;

// Timers.
const UINT_PTR IDT_AUTOHIDE = 0x8000;  // hides the bar after the last browser closed
const UINT AUTOHIDE_DELAY = 4000;      // ms
const UINT_PTR IDT_BUTTONS = 0x8002;   // updates the buttons that events marked
const UINT BUTTONS_DELAY = 50;         // ms: a burst of events costs one read and repaint
// IDT_HOLD_MENU (0x8001, from the new-window button) comes from HoverButton.h.
const UINT_PTR IDT_FRONT_AFTER_RESTORE = 0x8004;  // bounds the wait for the browsers' activations
const UINT FRONT_AFTER_RESTORE_DELAY = 1000;      // ms
// The working set is trimmed after every this many created browser windows.
const int TRIM_EVERY_CREATED = 10;

// The bar's tray icon record, as long as the running shell understands it.
NOTIFYICONDATAA TrayIconRecord(HWND owner, HICON icon);
// Shells before 5.0 know only the first, 88-byte ANSI layout; from 5.0 on
// the 488-byte one (newer headers make the record longer still).
DWORD TrayRecordSize(DWORD shellMajorVersion);

struct BrowserEntry {
  HWND window = nullptr;
  std::string title;
  bool titleStale = false;  // redrawn since the title was read
  bool repaintDue = false;  // its highlight changed since it was painted
  RECT buttonRect = {0, 0, 0, 0};
};

// The "IE windows list" submenu: one item per entry in list order, the
// active window's checked. The caller destroys it.
HMENU CreateWindowListMenu(const std::vector<BrowserEntry>& browsers, HWND active);

// The window after the active one in list order, wrapping around; the first
// when none of the list is active; nullptr for an empty list.
HWND NextBrowser(const std::vector<BrowserEntry>& browsers, HWND active);

// Brings a browser window to the front, restoring it if minimised; the
// restore is posted, so a hung window cannot stop the bar.
void BringToFront(HWND window);

// Where a browser window ends once the placement asked of it is done: the
// sticking bar hangs below that, not below a rectangle about to change.
RECT BrowserEndRect(HWND browser);

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
  void FollowActivation();  // places the bar again if an activation moves it
  LRESULT OnAppBarNotify(WPARAM code, LPARAM data);

  // Browser list.
  bool IsBrowserClass(HWND window) const;
  static void MakeDisplayTitle(HWND window, std::string& title);
  void ScanBrowserWindows();
  LRESULT OnShellEvent(WPARAM window, LPARAM code);
  // Reads the titles marked stale and repaints the buttons that changed.
  void UpdateButtons();
  // With front given, all windows are placed and front ends in front.
  void PlaceBrowserWindows(HWND window, HWND front = nullptr);
  void BringFrontForward();
  void Highlight(HWND window);  // the active browser's button, or none

  // Commands.
  void ShowBarMenu(POINT screenPoint);
  void NewBrowserWindow();
  void LaunchBrowser(std::string commandLine);
  void OnCloseButton();

  // Nested loops: menus, message boxes and dialogs the bar runs. Each one
  // is owned by the window whose input it blocks, so that window is
  // disabled meanwhile; a close asked for during one ends them all first.
  // Runs a dialog modally; while it runs, asking again brings it to the front.
  void RunDialog(fw::CDialog& dialog, fw::CDialog*& running);
  void ShowMessage(const char* text);

  // Tray, hot keys and timers.
  void AddTrayIcon();
  void RemoveTrayIcon();
  void HideToTray();
  void RestoreFromTray();
  void HideOrRestore();  // by whether the bar is visible now
  void ActivateNextBrowser();

  std::vector<BrowserEntry> browsers;
  // "Other browser classes" as the hook libraries have them: read once, at
  // the hooks' setting, so the rules hold until the bar ends.
  ClassList otherClasses = {};
  HWND activeBrowser = nullptr;
  HWND lastActiveBrowser = nullptr;
  HWND windowBeforeFullScreen = nullptr;
  RECT dockedRect = {0, 0, 0, 0};  // where the bar was last docked
  UINT taskbarCreatedMessage = 0;
  int lastPrefsPage = 0;
  fw::CDialog* aboutBox = nullptr;     // the running ones, else null
  fw::CDialog* prefsDialog = nullptr;
  int browserCreateCount = 0;
  bool buttonsStale = false;  // IDT_BUTTONS is running
  // The interface buttons; the option pages change their tint live.
  CHoverButton newWindowButton;
  CHoverButton closeButtonRight;
  CHoverButton hideButtonRight;
  CHoverButton closeButtonLeft;
  CHoverButton hideButtonLeft;

protected:
  void PostNcDestroy() override { delete this; }
  // Hands every message for the bar itself to the tooltip control first.
  bool PreTranslateMessage(MSG* msg) override;
  // Menu commands: the bar menu's items and the window list.
  bool OnCommandRoute(WPARAM wParam, LPARAM lParam) override;
  // Watches for "TaskbarCreated", whose id is known only at run time.
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  // Counts a nested loop of the bar for its lifetime.
  class NestedLoop {
  public:
    explicit NestedLoop(CBarWnd& bar) : bar(bar) { ++bar.nestedLoops; }
    ~NestedLoop();
  private:
    CBarWnd& bar;
  };
  // The window a new modal must block: the innermost dialog or message
  // box of this thread, else the bar.
  HWND ModalOwner() const;
  void EndNestedLoops();
  int nestedLoops = 0;
  bool closeAfterLoops = false;
  // Maximising activates a window, in its own thread and in its own time:
  // after a restore, front is brought forward once the windows asked have
  // reported their activations, or the timer ran out.
  HWND frontAfterPlacement = nullptr;
  int activationsAwaited = 0;

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnWindowPosChanged(WPARAM, LPARAM);
  LRESULT OnActivate(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnAppBarMessage(WPARAM w, LPARAM l) { return OnAppBarNotify(w, l); }

  // Painting and tooltips.
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnToolTipText(WPARAM, LPARAM);
  void CreateToolTip();
  bool MarkTitleStale(HWND window);  // false when the window is not listed
  void UpdateButtonsSoon();
  void AddBrowserTool(HWND window);

  // Mouse input and the interface buttons' commands.
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnRButtonDown(WPARAM, LPARAM);
  LRESULT OnLButtonDblClk(WPARAM, LPARAM);
  // A middle click closes the window of the button it began and ended on.
  LRESULT OnMButtonDown(WPARAM, LPARAM);
  LRESULT OnMButtonUp(WPARAM, LPARAM);
  LRESULT OnCaptureChanged(WPARAM, LPARAM);
  HWND middlePressed = nullptr;  // the window whose button the middle button went down on
  LRESULT OnCloseButtonCommand(WPARAM, LPARAM) { OnCloseButton(); return 0; }
  LRESULT OnNewWindowCommand(WPARAM, LPARAM) { NewBrowserWindow(); return 0; }
  LRESULT OnHideCommand(WPARAM, LPARAM) { HideToTray(); return 0; }
  LRESULT OnTrayIcon(WPARAM, LPARAM mouseMessage);
  LRESULT OnTimer(WPARAM id, LPARAM);
  LRESULT OnHotKey(WPARAM id, LPARAM);
  LRESULT OnStartupMark(WPARAM phase, LPARAM) { return phase < STARTUP_PHASES ? startupMarks[phase] : 0; }
  void CloseAllBrowsers();
  void MinimizeAllBrowsers();  // only while "Hide browsers when Marbel! hides" is on

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
