#include "bar/BarWnd.h"
#include "app/Settings.h"
#include "hooks/taskbar/bartask.h"
#include "res/resource.h"
#include "framework/App.h"
#include <cstring>
#include <vector>

BEGIN_MESSAGE_TABLE(CBarWnd)
  fw::OnMessage(WM_CREATE, &CBarWnd::OnCreate),
  fw::OnMessage(WM_SIZE, &CBarWnd::OnSize),
  fw::OnMessage(WM_WINDOWPOSCHANGED, &CBarWnd::OnWindowPosChanged),
  fw::OnMessage(WM_ACTIVATE, &CBarWnd::OnActivate),
  fw::OnMessage(WM_BAR_APPBAR, &CBarWnd::OnAppBarMessage),
  fw::OnMessage(WM_CLOSE, &CBarWnd::OnClose),
  fw::OnMessage(WM_DESTROY, &CBarWnd::OnDestroy),
  fw::OnMessage(WM_PAINT, &CBarWnd::OnPaint),
  fw::OnNotify(TTN_GETDISPINFOA, &CBarWnd::OnToolTipText),
  fw::OnMessage(WM_BAR_SHELLEVENT, &CBarWnd::OnShellEvent),
  fw::OnMessage(WM_LBUTTONDOWN, &CBarWnd::OnLButtonDown),
  fw::OnMessage(WM_RBUTTONDOWN, &CBarWnd::OnRButtonDown),
  fw::OnMessage(WM_LBUTTONDBLCLK, &CBarWnd::OnLButtonDblClk),
  fw::OnMessage(WM_MBUTTONDOWN, &CBarWnd::OnMButtonDown),
  // Closing one window after another, the next press comes quickly enough
  // to pair into a double click: a press all the same.
  fw::OnMessage(WM_MBUTTONDBLCLK, &CBarWnd::OnMButtonDown),
  fw::OnMessage(WM_MBUTTONUP, &CBarWnd::OnMButtonUp),
  fw::OnMessage(WM_CAPTURECHANGED, &CBarWnd::OnCaptureChanged),
  // Owner-drawn buttons also send BN_DOUBLECLICKED: a double click is one command.
  fw::OnCommand(IDC_CLOSE_RIGHT, IDC_CLOSE_LEFT, &CBarWnd::OnCloseButtonCommand, BN_CLICKED),
  fw::OnCommand(IDC_HIDE_RIGHT, IDC_HIDE_LEFT, &CBarWnd::OnHideCommand, BN_CLICKED),
  fw::OnCommand(IDC_NEW_WINDOW, IDC_NEW_WINDOW, &CBarWnd::OnNewWindowCommand, BN_CLICKED),
  fw::OnMessage(WM_BAR_TRAYICON, &CBarWnd::OnTrayIcon),
  fw::OnMessage(WM_TIMER, &CBarWnd::OnTimer),
  fw::OnMessage(WM_HOTKEY, &CBarWnd::OnHotKey),
  fw::OnMessage(WM_BAR_STARTUPMARK, &CBarWnd::OnStartupMark),
END_MESSAGE_TABLE(fw::CWnd)

CBarWnd::CBarWnd() {
  HINSTANCE instance = fw::Instance();
  largeIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_MARBEL), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  smallIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_MARBEL), IMAGE_ICON, 16, 16, LR_VGACOLOR));
  closeGlyph = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_CLOSE_GLYPH));
  if (closeGlyph) GetObjectA(closeGlyph, sizeof closeGlyphInfo, &closeGlyphInfo);
}

CBarWnd::~CBarWnd() {
  if (largeIcon) DestroyIcon(largeIcon);
  if (smallIcon) DestroyIcon(smallIcon);
  if (closeGlyph) DeleteObject(closeGlyph);
}

bool CBarWnd::Create(const RECT& rect, HWND parent) {
  WNDCLASSEXA wc = {};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.hIcon = LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDI_MARBEL));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = BAR_CLASS;
  RegisterClass(wc);
  return CreateEx(WS_EX_TOOLWINDOW, BAR_CLASS, BAR_TITLE, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                  nullptr);
}

LRESULT CBarWnd::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  // Without both hooks the bar cannot do its job: the libraries have told
  // the user why, and the window is destroyed again.
  MarkStartup(STARTUP_HOOKS);
  const char* classes = Settings.otherBrowserClasses.c_str();
  PackClassList(classes, otherClasses);
  SetShellHookClasses(classes);
  SetTaskbarHookClasses(classes);
  if (!SetShellHook(hwnd, Settings.catchExplorer)) return -1;
  if (!SetTaskbarHook(Settings.catchExplorer)) {
    // Not every system sends WM_DESTROY after a failed WM_CREATE.
    RemoveShellHook();
    return -1;
  }
  MarkStartup(STARTUP_HOOKED);
  taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));

  ScanBrowserWindows();

  if (Settings.startInTray) {
    AddTrayIcon();  // and stays hidden where it was created
  } else if (Settings.stickingMode) {
    AddTrayIcon();  // a sticking bar keeps its icon while shown
    PositionBar();
  } else {
    RegisterAppBar();
    PositionBar();
  }

  PlaceBrowserWindows(nullptr);

  // The interface buttons get the grey images only where they can be
  // blended: "Enable blending" on a 32-bit display.
  HDC dc = GetDC(hwnd);
  bool blendingCapable = Settings.enableBlending && GetDeviceCaps(dc, BITSPIXEL) == 32;
  ReleaseDC(hwnd, dc);
  struct {
    CHoverButton& button;
    UINT id;
    const char* tip;
    UINT greyImage, amberImage;
    RECT rect;
  } interfaceButtons[] = {
      {newWindowButton, IDC_NEW_WINDOW, "New browser window.\nHold for menu.", IDB_NEW_WINDOW_GREY,
       IDB_NEW_WINDOW_AMBER, {32, 3, 50, 21}},
      {closeButtonRight, IDC_CLOSE_RIGHT, "Close", IDB_CLOSE_GREY, IDB_CLOSE_AMBER, {}},
      {closeButtonLeft, IDC_CLOSE_LEFT, "Close", IDB_CLOSE_GREY, IDB_CLOSE_AMBER, {}},
      {hideButtonRight, IDC_HIDE_RIGHT, "Hide in tray", IDB_HIDE_GREY, IDB_HIDE_AMBER, {}},
      {hideButtonLeft, IDC_HIDE_LEFT, "Hide in tray", IDB_HIDE_GREY, IDB_HIDE_AMBER, {}},
  };
  for (auto& b : interfaceButtons) {
    b.button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.rect, hwnd, b.id);
    b.button.hold = b.id == IDC_NEW_WINDOW;  // holding it opens the bar menu
    b.button.LoadStrip(blendingCapable ? b.greyImage : b.amberImage);
    b.button.SetToolTipText(b.tip, true);
    b.button.alpha = Settings.alpha;
    b.button.blendColor = Settings.blendColor;
  }

  CreateToolTip();

  if (!Settings.startInTray && Settings.openBrowserOnStart && browsers.empty())
    NewBrowserWindow();

  if (Settings.hotKeyHide)
    RegisterHotKey(hwnd, HOTKEY_HIDE, HIWORD(Settings.hotKeyHide), LOWORD(Settings.hotKeyHide));
  if (Settings.hotKeyNew)
    RegisterHotKey(hwnd, HOTKEY_NEW, HIWORD(Settings.hotKeyNew), LOWORD(Settings.hotKeyNew));
  if (Settings.hotKeyNext)
    RegisterHotKey(hwnd, HOTKEY_NEXT, HIWORD(Settings.hotKeyNext), LOWORD(Settings.hotKeyNext));

  SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
  return 0;
}

LRESULT CBarWnd::OnSize(WPARAM, LPARAM lParam) {
  LayoutInterfaceButtons(LOWORD(lParam));
  return Default();
}

void CBarWnd::LayoutInterfaceButtons(int clientWidth) {
  // The four small buttons keep their ends of the bar; the new-window
  // button never moves.
  struct { int id; int x; } places[] = {
      {IDC_CLOSE_RIGHT, clientWidth - 16}, {IDC_HIDE_RIGHT, clientWidth - 29},
      {IDC_CLOSE_LEFT, 3}, {IDC_HIDE_LEFT, 16}};
  for (const auto& p : places)
    if (HWND button = GetDlgItem(hwnd, p.id))
      SetWindowPos(button, nullptr, p.x, 3, 12, 12, SWP_NOZORDER);
}

namespace {

BOOL CALLBACK CollectDialog(HWND w, LPARAM list) {
  char cls[8] = "";
  if (IsWindowVisible(w) && GetClassNameA(w, cls, sizeof cls) && strcmp(cls, "#32770") == 0)
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
  return TRUE;
}

// The shown dialogs and message boxes of this thread: all modal here.
std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

}  // namespace

HWND CBarWnd::ModalOwner() const {
  // Each modal disables the one it blocks: the enabled one is innermost.
  for (HWND dialog : ThreadDialogs())
    if (IsWindowEnabled(dialog)) return dialog;
  return hwnd;
}

void CBarWnd::EndNestedLoops() {
  // Ends the bar's menu (EndMenu came only with Windows 98).
  SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
  // Each loop ends once control comes back to it.
  for (HWND dialog : ThreadDialogs()) {
    auto* own = dynamic_cast<fw::CDialog*>(FromHandle(dialog));
    if (own) own->EndDialog(IDCANCEL);
    else EndDialog(dialog, IDCANCEL);
  }
}

CBarWnd::NestedLoop::~NestedLoop() {
  if (--bar.nestedLoops == 0 && bar.closeAfterLoops) PostMessageA(bar.hwnd, WM_CLOSE, 0, 0);
}

void CBarWnd::RunDialog(fw::CDialog& dialog, fw::CDialog*& running) {
  if (running) {
    SetForegroundWindow(running->Handle());
    return;
  }
  NestedLoop loop(*this);
  running = &dialog;
  dialog.DoModal(ModalOwner());
  running = nullptr;
}

void CBarWnd::ShowMessage(const char* text) {
  NestedLoop loop(*this);
  fw::MessageBox(text, MB_OK, ModalOwner());
}

LRESULT CBarWnd::OnClose(WPARAM, LPARAM) {
  // Destroyed now, the bar would be used again by the code that runs a
  // menu, message box or dialog once it returns: those end first, and the
  // last of them to return closes the bar.
  if (nestedLoops) {
    closeAfterLoops = true;
    EndNestedLoops();
    return 0;
  }
  return Default();
}

LRESULT CBarWnd::OnDestroy(WPARAM, LPARAM) {
  ShowWindow(hwnd, SW_HIDE);
  RemoveAppBar();
  RemoveTrayIcon();
  UnregisterHotKey(hwnd, HOTKEY_HIDE);
  UnregisterHotKey(hwnd, HOTKEY_NEW);
  UnregisterHotKey(hwnd, HOTKEY_NEXT);
  RemoveShellHook();
  RemoveTaskbarHook();
  if (Settings.closeBrowsersOnExit)
    for (auto it = browsers.rbegin(); it != browsers.rend(); ++it)
      PostMessageA(it->window, WM_CLOSE, 0, 0);
  return Default();
}
