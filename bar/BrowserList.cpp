// Which top-level windows are browser windows, the list of them that the
// shell hook keeps current, and their automatic placement.
//
// Shell events are sent from a thread of another process, which waits
// until we return (unless we hang: then a closed window's report is posted
// instead): nothing here waits for another program.
#include "bar/BarWnd.h"
#include "bar/Layout.h"
#include "app/Settings.h"
#include <cstring>
#include <utility>

namespace {

// The whole text of another program's window. GetWindowText reads the
// text the system stores for it and sends nothing to its thread, so a hung
// window cannot stop us. The buffer is sized from the length the system
// reports: on a double-byte code page a read stops short of a full buffer
// before a character that does not fit, so a short read proves nothing.
std::string WindowText(HWND window) {
  std::string text(GetWindowTextLengthA(window) + 1, '\0');
  int length = GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
  text.resize(length > 0 ? length : 0);
  return text;
}

BOOL CALLBACK CollectBrowser(HWND window, LPARAM param) {
  CBarWnd* bar = reinterpret_cast<CBarWnd*>(param);
  if (bar->IsBrowserClass(window)) {
    // Each hit goes to the front: the list ends in reverse enumeration order.
    BrowserEntry entry;
    entry.window = window;
    CBarWnd::MakeDisplayTitle(window, entry.title);
    bar->browsers.insert(bar->browsers.begin(), entry);
  }
  return TRUE;
}

}  // namespace

bool CBarWnd::IsBrowserClass(HWND window) const {
  return IsBrowserWindow(window, Settings.catchExplorer, otherClasses);
}

void CBarWnd::MakeDisplayTitle(HWND window, std::string& title) {
  title = DisplayTitle(WindowText(window));
}

// Only two buttons change: the one highlighted before and the one now,
// painted with the next update of the buttons.
void CBarWnd::Highlight(HWND window) {
  for (BrowserEntry& entry : browsers)
    if (entry.window == activeBrowser || entry.window == window) {
      entry.repaintDue = true;
      UpdateButtonsSoon();
    }
  activeBrowser = window;
}

void CBarWnd::ScanBrowserWindows() {
  EnumWindows(CollectBrowser, reinterpret_cast<LPARAM>(this));
}

LRESULT CBarWnd::OnShellEvent(WPARAM wParam, LPARAM code) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HSHELL_REDRAW) return MarkTitleStale(window);
  // A closed window reported late (the hook posts that report while we do
  // not answer) has no class left to read: its entry is found by handle.
  const bool goneLate = code == HSHELL_WINDOWDESTROYED && !IsWindow(window);
  if (!goneLate && !IsBrowserClass(window)) {
    if (code == HSHELL_WINDOWACTIVATED) {
      lastActiveBrowser = activeBrowser;
      Highlight(nullptr);
    }
    return 0;
  }

  switch (code) {
    case HSHELL_WINDOWACTIVATED:
      Highlight(window);
      lastActiveBrowser = window;
      PlaceBrowserWindows(window);  // the placement rule holds on every activation
      if (frontAfterPlacement && window != frontAfterPlacement && --activationsAwaited == 0)
        BringFrontForward();
      FollowActivation();
      break;

    case HSHELL_WINDOWCREATED: {
      BrowserEntry entry;
      MakeDisplayTitle(window, entry.title);
      entry.window = window;
      browsers.push_back(entry);
      AddBrowserTool(window);
      if (Settings.autoRestore && !IsWindowVisible(hwnd)) RestoreFromTray();
      PlaceBrowserWindows(window);
      InvalidateRect(hwnd, nullptr, TRUE);
      KillTimer(hwnd, IDT_AUTOHIDE);  // a new window cancels a pending autohide
      if (++browserCreateCount == TRIM_EVERY_CREATED) {
        browserCreateCount = 0;
        SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1),
                                 static_cast<SIZE_T>(-1));
      }
      break;
    }

    case HSHELL_WINDOWDESTROYED:
      for (auto it = browsers.begin(); it != browsers.end(); ++it) {
        if (it->window != window) continue;
        toolTip.DelTool(hwnd, reinterpret_cast<UINT_PTR>(window));
        browsers.erase(it);
        activeBrowser = lastActiveBrowser = nullptr;
        InvalidateRect(hwnd, nullptr, TRUE);
        if (Settings.autoHide && browsers.empty()) SetTimer(hwnd, IDT_AUTOHIDE, AUTOHIDE_DELAY, nullptr);
        break;
      }
      if (Settings.stickingMode && browsers.empty()) PositionBar();
      break;
  }
  return 1;
}

// Events are answered at once: a redraw (mostly a new title) only marks
// the window's entries, a highlight the two buttons, and a burst of events
// costs one read of each title and one paint, a moment later. Tooltips and
// the window list update the buttons before they show a title.
bool CBarWnd::MarkTitleStale(HWND window) {
  bool listed = false;
  for (BrowserEntry& entry : browsers)
    if (entry.window == window) listed = entry.titleStale = true;
  if (listed) UpdateButtonsSoon();
  return listed;
}

void CBarWnd::UpdateButtonsSoon() {
  // Without a window a null handle would make a timer of the thread.
  if (buttonsStale || !hwnd) return;
  buttonsStale = true;
  SetTimer(hwnd, IDT_BUTTONS, BUTTONS_DELAY, nullptr);
}

void CBarWnd::UpdateButtons() {
  if (buttonsStale) KillTimer(hwnd, IDT_BUTTONS);
  buttonsStale = false;
  for (BrowserEntry& entry : browsers) {
    // A window gone meanwhile keeps the title it had, as its redraw then would.
    if (entry.titleStale && IsBrowserClass(entry.window)) {
      MakeDisplayTitle(entry.window, entry.title);
      entry.repaintDue = true;
    }
    if (entry.repaintDue) InvalidateRect(hwnd, &entry.buttonRect, TRUE);
    entry.titleStale = entry.repaintDue = false;
  }
}

void CBarWnd::PlaceBrowserWindows(HWND window, HWND front) {
  // Results are not checked: a window that closed meanwhile just refuses.
  // The window of a shell notification is placed at once: its own thread
  // sent the notification and handles what we send it meanwhile. All the
  // others get requests posted to their threads: a hung browser must not
  // stop the bar.
  auto show = [](HWND w, int how, bool now) { now ? ShowWindow(w, how) : ShowWindowAsync(w, how); };
  auto align = [&show](HWND w, bool now) {
    show(w, SW_SHOWNOACTIVATE, now);
    SetWindowPos(w, nullptr, Settings.alignLeft, Settings.alignTop, Settings.alignWidth,
                 Settings.alignHeight, SWP_NOZORDER | (now ? 0 : SWP_ASYNCWINDOWPOS));
  };
  if (window) {
    // A window that closed meanwhile is left alone, not taken for "all".
    if ((!Settings.maximizeBrowsers && !Settings.alignBrowsers) || !IsWindow(window)) return;
    if (Settings.maximizeBrowsers)
      show(window, SW_SHOWMAXIMIZED, true);
    else if (Settings.alignBrowsers)
      align(window, true);
    return;
  }
  // All windows, last entry first; a hand-edited file with both options on
  // gets both, maximising first.
  int asked = 0;
  for (auto it = browsers.rbegin(); it != browsers.rend(); ++it)
    if (Settings.maximizeBrowsers && it->window != front) {
      show(it->window, SW_SHOWMAXIMIZED, false);
      ++asked;
    }
  for (auto it = browsers.rbegin(); it != browsers.rend(); ++it)
    if (Settings.alignBrowsers) align(it->window, false);
  if (!front) return;
  frontAfterPlacement = front;
  activationsAwaited = asked;
  if (asked) SetTimer(hwnd, IDT_FRONT_AFTER_RESTORE, FRONT_AFTER_RESTORE_DELAY, nullptr);
  else BringFrontForward();
}

void CBarWnd::BringFrontForward() {
  KillTimer(hwnd, IDT_FRONT_AFTER_RESTORE);
  HWND front = std::exchange(frontAfterPlacement, nullptr);
  if (!front || !IsWindow(front)) return;
  if (Settings.maximizeBrowsers) ShowWindowAsync(front, SW_SHOWMAXIMIZED);
  SetForegroundWindow(front);
}
