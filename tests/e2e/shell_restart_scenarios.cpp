// A restarted shell ("TaskbarCreated" from a new stand-in taskbar) while
// the bar sticks under a browser window, and restarts in a row while it is
// hidden. The docked bar and a single restart while hidden are in
// tray_scenarios.cpp. After each restart the bar's icon is on the new
// taskbar when the bar is hidden or sticking, a docked bar registers with
// the new shell as an app bar again, and the new taskbar loses its browser
// buttons again, Explorer windows per the setting, through one hook only.
#include "rig_input.h"
#include "rig_tray.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const UINT ID_TRAY_ICON = 0x8003;
const std::string BASE = "Open default browser on start=0\r\nMaximize browser windows=0\r\n";

struct RestartRun {
  explicit RestartRun(const char* name, const std::string& prefs)
      : run(name, prefs + BASE), browser(run.scenario) {
    REQUIRE(run.bar);
    REQUIRE(browser.Ready());
    ie = browser.Open("IEFrame", "IE");
    folder = browser.Open("CabinetWClass", "Folder");
    other = browser.Open("Other", "Other");
    REQUIRE((ie && folder && other));
  }
  // A new taskbar, then the bar done with the broadcast.
  void RestartShell() {
    HWND fresh = (HWND)run.shell.Command(STANDIN_SHELL_RECREATE);
    REQUIRE(fresh);
    run.shell.tray = fresh;
    Pause(500);
    DWORD_PTR result;
    REQUIRE(SendMessageTimeoutA(run.bar, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
  }
  // The buttons the new taskbar keeps of all three windows.
  std::string PurgedButtons() const {
    run.shell.Add(ie);
    run.shell.Add(folder);
    run.shell.Add(other);
    run.shell.Trigger();
    return run.shell.Buttons();
  }
  bool OneIcon() const {
    std::vector<TrayIcon> icons = TrayIconsOf(run.bar);
    return icons.size() == 1 && icons[0].id == ID_TRAY_ICON && icons[0].tip == "Marbel!";
  }
  int freeBottom = AppBarPlaceAtBottom(24).bottom;  // no app bar of ours
  BarRun run;
  BrowserFixture browser;
  HWND ie = nullptr, folder = nullptr, other = nullptr;
};

}  // namespace

TEST_CASE("sticking mode: after a shell restart the icon is back, the bar stays, browser buttons go again") {
  RestartRun t("restart_sticking", "Align browser windows=1\r\nIE sticking mode=1\r\n");
  REQUIRE(WaitUntil([&] { return t.OneIcon(); }));
  REQUIRE(IsWindowVisible(t.run.bar));
  const RECT before = WindowRect(t.run.bar);
  t.RestartShell();
  REQUIRE(WaitUntil([&] { return t.OneIcon(); }));
  CHECK(IsWindowVisible(t.run.bar));
  RECT after = WindowRect(t.run.bar);
  CHECK(EqualRect(&before, &after));
  CHECK(AppBarPlaceAtBottom(24).bottom == t.freeBottom);  // still no app bar
  CHECK(t.PurgedButtons() == "Other");
  // The icon still acts for the bar: its menu.
  POINT c = CenterOf(TrayIconsOf(t.run.bar)[0]);
  SingleClick(c.x, c.y, true);
  CHECK(FindPopupMenu());
  PressKey(VK_ESCAPE);
}

TEST_CASE("hidden, two restarts in a row: one icon on the newest taskbar, hooked with the current setting") {
  RestartRun t("restart_hidden_twice", "Catch Windows Explorer windows=0\r\n");
  PostMessageA(t.run.bar, WM_COMMAND, 125, 0);  // "Hide/restore Marbel!"
  REQUIRE(WaitUntil([&] { return !IsWindowVisible(t.run.bar) && t.OneIcon(); }));
  t.RestartShell();
  REQUIRE(WaitUntil([&] { return t.OneIcon(); }));
  t.RestartShell();
  REQUIRE(WaitUntil([&] { return t.OneIcon(); }));
  CHECK_FALSE(IsWindowVisible(t.run.bar));
  // Folder windows keep their buttons: the setting is off.
  CHECK(t.PurgedButtons() == "Folder Other");
  // The icon on the newest taskbar brings the bar back docked.
  POINT c = CenterOf(TrayIconsOf(t.run.bar)[0]);
  SingleClick(c.x, c.y);
  CHECK(WaitUntil([&] { return IsWindowVisible(t.run.bar) && TrayIconsOf(t.run.bar).empty(); }));
  CHECK(WaitUntil([&] { return AppBarPlaceAtBottom(24).bottom == WindowRect(t.run.bar).top; }));
}

TEST_CASE("docked, Explorer windows caught: the new taskbar loses folder buttons too, and no icon appears") {
  RestartRun t("restart_docked_explorer", "");
  t.RestartShell();
  CHECK(TrayIconsOf(t.run.bar).empty());
  CHECK(IsWindowVisible(t.run.bar));
  CHECK(t.PurgedButtons() == "Other");
  // The new shell knows no app bars: the bar registers anew, then takes its
  // place. (Wine's work area never shrinks, so what the bar asks is checked.)
  auto seen = [&](DWORD message) {
    return (int)t.run.shell.Command(STANDIN_SHELL_APPBAR, (WPARAM)t.run.bar, message);
  };
  CHECK(seen(ABM_NEW) > 0);
  CHECK(seen(ABM_SETPOS) > seen(ABM_NEW));
  // Another broadcast while this taskbar lives, then exit: no hook stays
  // behind, so a browser window keeps its taskbar button.
  SendMessageA(t.run.bar, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  REQUIRE(t.run.Exit());
  HWND later = t.browser.Open("IEFrame", "Later");
  t.run.shell.Add(later);
  t.run.shell.Trigger();
  CHECK(t.run.shell.Buttons() == "Other Later");
}

TEST_CASE("a new shell process: the old one's exit leaves the new taskbar hooked") {
  RestartRun t("restart_new_process", "");
  StandinShell fresh(t.run.scenario);
  REQUIRE(fresh.tray);
  SendMessageA(t.run.bar, RegisterWindowMessageA("TaskbarCreated"), 0, 0);  // the new shell's broadcast
  // The old shell unloads the hook library as it ends.
  PostMessageA(t.run.shell.tray, WM_CLOSE, 0, 0);
  REQUIRE(t.run.shell.process.WaitExit(5000));
  fresh.Add(t.ie);
  fresh.Add(t.other);
  fresh.Trigger();
  CHECK(fresh.Buttons() == "Other");
}
