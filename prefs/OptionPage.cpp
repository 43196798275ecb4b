#include "prefs/OptionPage.h"
#include "app/BarApp.h"
#include "app/Settings.h"
#include "bar/BarWnd.h"
#include "prefs/HtmlHelp.h"
#include "prefs/PageRules.h"
#include "prefs/PrefsDialog.h"
#include "res/resource.h"

BEGIN_MESSAGE_TABLE(COptionPage)
  fw::OnCommand(IDC_ALLOW_MINIMIZE, IDC_AUTORESTORE, &COptionPage::OnPlainCheck, BN_CLICKED),
  fw::OnCommand(IDC_CATCH_EXPLORER, IDC_CLOSE_ON_EXIT, &COptionPage::OnPlainCheck, BN_CLICKED),
  fw::OnCommand(IDC_HIDE_BROWSERS, IDC_HIDE_BROWSERS, &COptionPage::OnPlainCheck, BN_CLICKED),
  fw::OnCommand(IDC_OPEN_ON_START, IDC_OPEN_ON_START, &COptionPage::OnPlainCheck, BN_CLICKED),
  fw::OnCommand(IDC_START_IN_TRAY, IDC_START_IN_TRAY, &COptionPage::OnPlainCheck, BN_CLICKED),
  fw::OnCommand(IDC_SHOW_ON_TOP, IDC_SHOW_ON_TOP, &COptionPage::OnShowOnTop, BN_CLICKED),
  fw::OnCommand(IDC_SHOW_CLOSE_BUTTON, IDC_SHOW_CLOSE_BUTTON, &COptionPage::OnShowCloseButton, BN_CLICKED),
  fw::OnCommand(IDC_CLOSE_ONLY_ACTIVE, IDC_CLOSE_ONLY_ACTIVE, &COptionPage::OnCloseOnlyActive, BN_CLICKED),
  fw::OnCommand(IDC_FORCE_OVER_FULLSCREEN, IDC_FORCE_OVER_FULLSCREEN, &COptionPage::OnForceOverFullScreen, BN_CLICKED),
  fw::OnCommand(IDC_ENABLE_BLENDING, IDC_ENABLE_BLENDING, &COptionPage::OnEnableBlending, BN_CLICKED),
  fw::OnCommand(IDC_ALIGN, IDC_ALIGN, &COptionPage::OnAlign, BN_CLICKED),
  fw::OnCommand(IDC_MAXIMIZE, IDC_MAXIMIZE, &COptionPage::OnMaximize, BN_CLICKED),
  fw::OnCommand(IDC_DONT_CHANGE, IDC_DONT_CHANGE, &COptionPage::OnDontChange, BN_CLICKED),
  fw::OnCommand(IDC_STICKING, IDC_STICKING, &COptionPage::OnSticking, BN_CLICKED),
  fw::OnCommand(IDC_BROWSE, IDC_BROWSE, &COptionPage::OnBrowse, BN_CLICKED),
  fw::OnCommand(IDC_FONT, IDC_FONT, &COptionPage::OnFont, BN_CLICKED),
  fw::OnCommand(IDC_BAR_HEIGHT, IDC_BAR_HEIGHT, &COptionPage::OnNumberKillFocus, EN_KILLFOCUS),
  fw::OnCommand(IDC_LEFT, IDC_LEFT, &COptionPage::OnNumberKillFocus, EN_KILLFOCUS),
  fw::OnCommand(IDC_TOP, IDC_TOP, &COptionPage::OnNumberKillFocus, EN_KILLFOCUS),
  fw::OnCommand(IDC_WIDTH, IDC_WIDTH, &COptionPage::OnNumberKillFocus, EN_KILLFOCUS),
  fw::OnCommand(IDC_HEIGHT, IDC_HEIGHT, &COptionPage::OnNumberKillFocus, EN_KILLFOCUS),
  fw::OnCommand(IDC_COMMAND, IDC_COMMAND, &COptionPage::OnTextKillFocus, EN_KILLFOCUS),
  fw::OnCommand(IDC_OTHER_CLASSES, IDC_OTHER_CLASSES, &COptionPage::OnTextKillFocus, EN_KILLFOCUS),
  fw::OnMessage(WM_HSCROLL, &COptionPage::OnHScroll),
  fw::OnMessage(WM_COLOR_CHOSEN, &COptionPage::OnColorEnded),
  fw::OnMessage(WM_COLOR_CANCELLED, &COptionPage::OnColorEnded),
  fw::OnMessage(WM_HELP, &COptionPage::ShowHelpPopup),
  fw::OnMessage(WM_DESTROY, &COptionPage::OnDestroy),
END_MESSAGE_TABLE(fw::CDialog)

namespace {

void SetNumber(HWND page, int id, int value) {
  SetDlgItemInt(page, id, static_cast<UINT>(value), FALSE);
}

int DisplayDepth(HWND window) {
  HDC dc = GetDC(window);
  int depth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
  return depth;
}

}  // namespace

CPrefsDialog* COptionPage::Dialog() const {
  return dynamic_cast<CPrefsDialog*>(FromHandle(GetParent(hwnd)));
}

void COptionPage::RequestPlacement() {
  if (CPrefsDialog* dialog = Dialog()) dialog->placeBrowsersOnClose = 1;
}

void COptionPage::RequestBarPosition() {
  if (CPrefsDialog* dialog = Dialog()) dialog->repositionBarOnClose = 1;
}

void COptionPage::RepaintBar() {
  if (CBarWnd* bar = CPrefsDialog::Bar()) InvalidateRect(bar->Handle(), nullptr, TRUE);
}

void COptionPage::EnableRectangleFields(bool on) {
  for (int id : {IDC_LEFT, IDC_TOP, IDC_WIDTH, IDC_HEIGHT}) Enable(id, on);
}

void COptionPage::OnOK() {
  SendMessageA(GetParent(hwnd), WM_COMMAND, IDOK, 0);
}

void COptionPage::OnCancel() {
  SendMessageA(GetParent(hwnd), WM_COMMAND, IDCANCEL, 0);
}

void COptionPage::AttachColorButton(CColorButton& button, int id, COLORREF color) {
  if (button.SubclassDlgItem(id, hwnd)) button.SetColor(color);
}

BOOL COptionPage::OnInitDialog() {
  const SettingsRecord& s = Settings;
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
  // CheckDlgButton, SetDlgItemInt and EnableWindow do nothing for a
  // control this template does not have.
  Check(IDC_SHOW_ON_TOP, s.showOnTop == EDGE_TOP);
  Check(IDC_SHOW_CLOSE_BUTTON, s.showCloseButton);
  Check(IDC_CLOSE_ONLY_ACTIVE, s.closeOnlyOnActive);
  if (!s.showCloseButton) Enable(IDC_CLOSE_ONLY_ACTIVE, false);
  Check(IDC_MAXIMIZE, s.maximizeBrowsers);
  Check(IDC_ALIGN, s.alignBrowsers);
  Check(IDC_DONT_CHANGE, !s.maximizeBrowsers && !s.alignBrowsers);
  Check(IDC_CLOSE_ON_EXIT, s.closeBrowsersOnExit);
  Check(IDC_HIDE_BROWSERS, s.hideBrowsersOnHide);
  Check(IDC_OPEN_ON_START, s.openBrowserOnStart);
  Check(IDC_FORCE_OVER_FULLSCREEN, s.forceOverFullScreen);
  Check(IDC_AUTORESTORE, s.autoRestore);
  if (!s.alignBrowsers) {
    EnableRectangleFields(false);
    Enable(IDC_STICKING, false);
  }
  SetNumber(hwnd, IDC_LEFT, s.alignLeft);
  SetNumber(hwnd, IDC_TOP, s.alignTop);
  SetNumber(hwnd, IDC_WIDTH, s.alignWidth);
  SetNumber(hwnd, IDC_HEIGHT, s.alignHeight);
  SetNumber(hwnd, IDC_BAR_HEIGHT, s.barHeight);
  Check(IDC_ALLOW_MINIMIZE, s.allowMinimize);
  Check(IDC_AUTOHIDE, s.autoHide);
  Check(IDC_CATCH_EXPLORER, s.catchExplorer);
  Check(IDC_START_IN_TRAY, s.startInTray);
  Check(IDC_STICKING, s.stickingMode);
  SetDlgItemTextA(hwnd, IDC_COMMAND, s.browserCommand.c_str());
  SetDlgItemTextA(hwnd, IDC_OTHER_CLASSES, s.otherBrowserClasses.c_str());
  if (HWND browse = Item(IDC_BROWSE); browse && !osVersionFlag) {
    SetWindowLongA(browse, GWL_EXSTYLE, GetWindowLongA(browse, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(browse, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  AttachColorButton(barBackgroundButton, IDC_BAR_COLOR, s.barColor);
  AttachColorButton(buttonsBackgroundButton, IDC_BUTTON_COLOR, s.buttonColor);
  AttachColorButton(buttonsTextButton, IDC_TEXT_COLOR, s.buttonTextColor);
  AttachColorButton(activeButtonColorButton, IDC_ACTIVE_COLOR, s.activeColor);
  AttachColorButton(activeTextColorButton, IDC_ACTIVE_TEXT_COLOR, s.activeTextColor);

  // Blending needs a 32-bit display; the buttons follow the setting as it
  // was at start-up, which is when blending takes effect.
  const bool deep = DisplayDepth(hwnd) == 32;
  Check(IDC_ENABLE_BLENDING, s.enableBlending);
  Enable(IDC_ENABLE_BLENDING, deep);
  AttachColorButton(blendingColorButton, IDC_BLEND_COLOR, s.blendColor);
  Enable(IDC_BLEND_COLOR, deep && s.enableBlending);
  if (alphaSlider.SubclassDlgItem(IDC_ALPHA, hwnd)) {
    alphaSlider.SetRange(0, 255, false);
    alphaSlider.SetPos(s.alpha, true);
    Enable(IDC_ALPHA, s.enableBlending && deep);
  }

  for (auto [id, setting] : {std::pair{IDC_HOTKEY_HIDE, s.hotKeyHide}, {IDC_HOTKEY_NEW, s.hotKeyNew},
                             {IDC_HOTKEY_NEXT, s.hotKeyNext}}) {
    HWND control = Item(id);
    if (!control) continue;
    // A key alone is not a hot key: it becomes Ctrl+Alt with that key.
    SendMessageA(control, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendMessageA(control, HKM_SETHOTKEY, HotKeyControlFromSetting(setting), 0);
  }
  return TRUE;
}

LRESULT COptionPage::ShowHelpPopup(WPARAM, LPARAM lParam) {
  const auto* request = reinterpret_cast<const HELPINFO*>(lParam);
  // Labels and group boxes carry the id -1: no help of their own.
  if (request->iCtrlId <= 0 || request->iCtrlId > 0xFFFF) return TRUE;
  char text[1024] = "";
  if (!LoadStringA(fw::Instance(), request->iCtrlId, text, sizeof text) || !text[0]) return TRUE;
  POINT at = request->MousePos;
  if (HWND control = Item(request->iCtrlId)) {
    RECT r;
    GetWindowRect(control, &r);
    at = {r.left + (r.right - r.left) / 2, r.bottom + 6};
  }
  DisplayTextPopup(static_cast<HWND>(request->hItemHandle), text, at);
  return TRUE;
}

LRESULT COptionPage::OnDestroy(WPARAM, LPARAM) {
  ApplyHotKey(IDC_HOTKEY_HIDE, Settings.hotKeyHide, "Hot Key Hide", HOTKEY_HIDE);
  ApplyHotKey(IDC_HOTKEY_NEW, Settings.hotKeyNew, "Hot Key New", HOTKEY_NEW);
  ApplyHotKey(IDC_HOTKEY_NEXT, Settings.hotKeyNext, "Hot Key Next", HOTKEY_NEXT);
  return Default();
}

void COptionPage::ApplyHotKey(int controlId, DWORD& setting, const char* key, int hotKeyId) {
  HWND control = Item(controlId);
  if (!control) return;
  DWORD value = HotKeySettingFromControl(static_cast<WORD>(SendMessageA(control, HKM_GETHOTKEY, 0, 0)));
  if (value == setting) return;
  setting = value;
  if (CBarWnd* bar = CPrefsDialog::Bar()) {
    // A refused registration (another program holds the keys) stays silent.
    UnregisterHotKey(bar->Handle(), hotKeyId);
    RegisterHotKey(bar->Handle(), hotKeyId, HIWORD(value), LOWORD(value));
  }
  WriteSetting(key, static_cast<int>(value));
}
