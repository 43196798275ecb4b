// Clicks on the option pages: check boxes, the browser placement radio
// buttons and sticking mode.
#include "prefs/OptionPage.h"
#include "app/Settings.h"
#include "bar/BarWnd.h"
#include "prefs/PrefsDialog.h"
#include "res/resource.h"

namespace {

// Check boxes that only store their state; their users read it when needed.
struct PlainCheck {
  int id;
  bool SettingsRecord::*field;
  const char* key;
};
const PlainCheck PLAIN_CHECKS[] = {
    {IDC_ALLOW_MINIMIZE, &SettingsRecord::allowMinimize, "Allow minimization of IE"},
    {IDC_AUTOHIDE, &SettingsRecord::autoHide, "Autohide"},
    {IDC_AUTORESTORE, &SettingsRecord::autoRestore, "Autorestore from tray"},
    {IDC_CATCH_EXPLORER, &SettingsRecord::catchExplorer, "Catch Windows Explorer windows"},
    {IDC_CLOSE_ON_EXIT, &SettingsRecord::closeBrowsersOnExit, "Close browser windows on exit"},
    {IDC_HIDE_BROWSERS, &SettingsRecord::hideBrowsersOnHide, "Hide browsers when Marbel! hides"},
    {IDC_OPEN_ON_START, &SettingsRecord::openBrowserOnStart, "Open default browser on start"},
    {IDC_START_IN_TRAY, &SettingsRecord::startInTray, "Hide into the system tray on start"},
};

void StoreBool(bool& field, const char* key, bool value) {
  field = value;
  WriteSetting(key, value ? 1 : 0);
}

bool BarVisible(CBarWnd* bar) { return IsWindowVisible(bar->Handle()) != FALSE; }

}  // namespace

LRESULT COptionPage::OnPlainCheck(WPARAM wParam, LPARAM) {
  for (const PlainCheck& box : PLAIN_CHECKS)
    if (box.id == LOWORD(wParam)) StoreBool(Settings.*box.field, box.key, IsChecked(box.id));
  return 0;
}

LRESULT COptionPage::OnShowOnTop(WPARAM, LPARAM) {
  Settings.showOnTop = IsChecked(IDC_SHOW_ON_TOP) ? EDGE_TOP : EDGE_BOTTOM;
  WriteSetting("Show on top of desktop", Settings.showOnTop);
  if (CBarWnd* bar = CPrefsDialog::Bar()) bar->OnAppBarNotify(ABN_POSCHANGED, 0);
  return 0;
}

LRESULT COptionPage::OnShowCloseButton(WPARAM, LPARAM) {
  Settings.showCloseButton = IsChecked(IDC_SHOW_CLOSE_BUTTON);
  Enable(IDC_CLOSE_ONLY_ACTIVE, Settings.showCloseButton);
  RepaintBar();
  WriteSetting("Show close button on IE buttons", Settings.showCloseButton ? 1 : 0);
  return 0;
}

LRESULT COptionPage::OnCloseOnlyActive(WPARAM, LPARAM) {
  Settings.closeOnlyOnActive = IsChecked(IDC_CLOSE_ONLY_ACTIVE);
  RepaintBar();
  WriteSetting("only on active IE button", Settings.closeOnlyOnActive ? 1 : 0);
  return 0;
}

LRESULT COptionPage::OnForceOverFullScreen(WPARAM, LPARAM) {
  StoreBool(Settings.forceOverFullScreen, "Force placement over fullscreen popups",
            IsChecked(IDC_FORCE_OVER_FULLSCREEN));
  RequestBarPosition();
  return 0;
}

LRESULT COptionPage::OnEnableBlending(WPARAM, LPARAM) {
  // Only the file: blending starts or stops with the next program start.
  WriteThemeSetting("Enable blending", IsChecked(IDC_ENABLE_BLENDING) ? 1 : 0);
  return 0;
}

LRESULT COptionPage::OnAlign(WPARAM, LPARAM) {
  RequestPlacement();
  Settings.alignBrowsers = true;
  Check(IDC_ALIGN, true);
  WriteSetting("Align browser windows", 1);
  EnableRectangleFields(true);
  Settings.maximizeBrowsers = false;
  Check(IDC_MAXIMIZE, false);
  WriteSetting("Maximize browser windows", 0);
  Check(IDC_DONT_CHANGE, false);
  Enable(IDC_STICKING, true);
  return 0;
}

LRESULT COptionPage::OnMaximize(WPARAM, LPARAM) {
  RequestPlacement();
  Settings.maximizeBrowsers = true;
  Check(IDC_MAXIMIZE, true);
  WriteSetting("Maximize browser windows", 1);
  Settings.alignBrowsers = false;
  Check(IDC_ALIGN, false);
  WriteSetting("Align browser windows", 0);
  EnableRectangleFields(false);
  Check(IDC_DONT_CHANGE, false);
  LeaveStickingMode();
  return 0;
}

LRESULT COptionPage::OnDontChange(WPARAM, LPARAM) {
  RequestPlacement();
  Check(IDC_DONT_CHANGE, true);
  Settings.alignBrowsers = false;
  Check(IDC_ALIGN, false);
  WriteSetting("Align browser windows", 0);
  EnableRectangleFields(false);
  Settings.maximizeBrowsers = false;
  Check(IDC_MAXIMIZE, false);
  WriteSetting("Maximize browser windows", 0);
  LeaveStickingMode();
  return 0;
}

void COptionPage::LeaveStickingMode() {
  if (Settings.stickingMode) {
    Settings.stickingMode = false;
    if (CBarWnd* bar = CPrefsDialog::Bar()) {
      if (BarVisible(bar)) {
        bar->RemoveTrayIcon();
        bar->RegisterAppBar();
      }
      bar->PositionBar();
    }
  }
  Check(IDC_STICKING, false);
  WriteSetting("IE sticking mode", 0);
  Enable(IDC_STICKING, false);
}

LRESULT COptionPage::OnSticking(WPARAM, LPARAM) {
  StoreBool(Settings.stickingMode, "IE sticking mode", IsChecked(IDC_STICKING));
  CBarWnd* bar = CPrefsDialog::Bar();
  if (!bar) return 0;
  if (Settings.stickingMode) {
    bar->RemoveAppBar();
    if (BarVisible(bar)) bar->AddTrayIcon();
  } else if (BarVisible(bar)) {
    bar->RemoveAppBar();
    bar->RemoveTrayIcon();
    bar->RegisterAppBar();
  }
  bar->PositionBar();  // under the active browser window when sticking
  return 0;
}
