// Browsers of other window classes ("Other browser classes"): the bar, the
// shell hook in the browser's process and the taskbar hook in the shell's
// each learn the list once, at the bar's start, and treat those windows as
// they treat "IEFrame" ones; owned windows of the classes are no browsers.
#include "rig_prefs.h"
#include "res/resource.h"

#include <doctest/doctest.h>

using namespace rig;

TEST_CASE("other browser classes: listed, placed, off the taskbar and closed by \"Close all\"; owned windows are not") {
  Scenario s("other_browser_classes");
  BrowserFixture browser(s, "--class OpWindow --title Early");
  REQUIRE(browser.Ready());
  HWND early = browser.Windows().at(0);
  HWND dialog = browser.OpenOwned(early, "Dialog");
  REQUIRE(dialog);
  REQUIRE(GetWindow(dialog, GW_OWNER) == early);
  StandinShell shell(s);
  REQUIRE(shell.tray);
  s.WriteFile("marbel.ini", PreferencesIni("Other browser classes= OpWindow ;; MozillaWindowClass\r\n"
                                           "Maximize browser windows=1\r\n"));
  s.WriteFile("colors.ini", TestTheme());
  BarUnderTest run;
  run.bar = s.StartMarbelAndWaitForBar();
  REQUIRE(run.bar);
  run.tip = BarToolTip(run.bar);
  REQUIRE(run.tip);

  // The scan at start, and the shell hook's report of a later window.
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == 1; }));
  CHECK(ToolFor(run.tip, early).id == (UINT_PTR)early);
  HWND later = browser.Open("MozillaWindowClass", "Later");
  HWND lookalike = browser.Open("MozillaWindowClassX", "Lookalike");
  REQUIRE((later && lookalike));
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == 2; }));
  CHECK(ToolFor(run.tip, later).id == (UINT_PTR)later);
  CHECK(WaitUntil([&] { return IsZoomed(early) && IsZoomed(later); }));

  // The dialog's reports, as the shell hook would send them: no button, and
  // an activation places nothing.
  REQUIRE(SendShellEvent(run.bar, dialog, HSHELL_WINDOWCREATED));
  REQUIRE(SendShellEvent(run.bar, dialog, HSHELL_WINDOWACTIVATED));
  CHECK(ToolCount(run.tip) == 2);
  CHECK_FALSE(IsZoomed(dialog));
  CHECK_FALSE(IsZoomed(lookalike));

  for (HWND w : {early, dialog, later, lookalike}) shell.Add(w);
  shell.Trigger();
  CHECK(shell.Buttons() == "Dialog Lookalike");

  PostMessageA(run.bar, WM_COMMAND, ID_CLOSE_ALL, 0);
  CHECK(WaitUntil([&] { return !IsWindow(early) && !IsWindow(later); }));
  CHECK(IsWindow(lookalike));
}

TEST_CASE("other browser classes: the Advanced page's field shows the key and stores it when it loses the focus") {
  const std::string ini = "[Preferences]\r\nOpen default browser on start=0\r\nOther browser classes=OpWindow\r\n";
  BarRun run("other_browser_classes_field", ini.substr(15));
  REQUIRE(run.bar);
  HWND dialog = OpenPrefs(run.bar);
  REQUIRE(dialog);
  HWND edit = GetDlgItem(ChoosePage(dialog, PAGE_ADVANCED), IDC_OTHER_CLASSES);
  REQUIRE(edit);
  CHECK(EditText(edit) == "OpWindow");
  TypeNumber(edit, "42");
  CHECK(run.scenario.ReadFile("marbel.ini") == ini);
  PressKey(VK_TAB);
  CHECK(WaitUntil([&] { return run.scenario.ReadFile("marbel.ini") != ini; }));
  CHECK(run.scenario.ReadFile("marbel.ini") ==
        "[Preferences]\r\nOpen default browser on start=0\r\nOther browser classes=42\r\n");
  CHECK(ClosePrefs(dialog));
}
