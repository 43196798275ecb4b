// Start-up, docking and shutdown of the bar, seen from outside: its window,
// its place on the desktop, the files in its working directory, the
// second-instance refusal, the app-bar notifications and a clean exit.
#include "rig_input.h"
#include "rig_list.h"
#include "rig_shell.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const UINT WM_BAR_APPBAR = WM_USER + 2;
const std::string NO_BROWSER = "Open default browser on start=0\r\n";
const std::string NO_BROWSER_INI = "[Preferences]\r\n" + NO_BROWSER;

// Where the shell put a 24-pixel bar at each edge before ours came.
struct ShellPlaces {
  RECT bottomPlace = AppBarPlaceAtBottom(24), topPlace = AppBarPlace(ABE_TOP, 24);
};
// A BarRun with no browser opened, the shell's places asked before it.
struct BarScenario : ShellPlaces, BarRun {
  explicit BarScenario(const char* name, const std::string& prefs = "")
      : BarRun(name, NO_BROWSER + prefs) {}
};

bool IsTopmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Asked before the bar registers, since the shell keeps other bars apart.
void CheckDocked(HWND bar, UINT edge, int height, const RECT& expected) {
  REQUIRE(bar);
  RECT r = WindowRect(bar);
  CHECK(r.left == 0);
  CHECK(r.right == ScreenSize().cx);
  CHECK(r.bottom - r.top == height);
  CHECK(r.top == expected.top);
  if (edge == ABE_BOTTOM) CHECK(r.bottom > ScreenSize().cy / 2);
  else CHECK(r.top < ScreenSize().cy / 2);
}

}  // namespace

TEST_CASE("with no ini files the bar docks at the bottom, 24 high, and writes nothing") {
  Scenario scenario("startup_defaults");
  StandinShell shell(scenario);
  REQUIRE(shell.tray);
  RECT expected = AppBarPlaceAtBottom(24);
  Process marbel = scenario.StartMarbel();
  HWND bar = WaitForBar(marbel);
  REQUIRE(bar);
  CHECK(ClassOf(bar) == "MARBEL_MANAGER_CLASS");
  CHECK(TextOf(bar) == "Marbel!");
  CHECK(IsWindowVisible(bar));
  CheckDocked(bar, ABE_BOTTOM, 24, expected);
  LONG style = GetWindowLongA(bar, GWL_STYLE), exStyle = GetWindowLongA(bar, GWL_EXSTYLE);
  CHECK((style & (WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)) == (WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
  CHECK((style & WS_CAPTION) == 0);
  CHECK((exStyle & WS_EX_TOOLWINDOW) != 0);
  CHECK(IsTopmost(bar));
  CHECK((GetClassLongA(bar, GCL_STYLE) & (CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW)) ==
        (CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));
  PostMessageA(bar, WM_CLOSE, 0, 0);
  CHECK(marbel.WaitExit(5000));
  CHECK(marbel.ExitCode() == 0);
  // Nothing was written at start-up or at exit.
  CHECK(scenario.Files().empty());
}

TEST_CASE("the docking edge and the height come from marbel.ini in the working directory") {
  SUBCASE("1 is the top edge") {
    BarScenario s("startup_top", "Show on top of desktop=1\r\n");
    CheckDocked(s.bar, ABE_TOP, 24, s.topPlace);
    CHECK(s.Exit());
  }
  SUBCASE("2, hand-edited, is the top edge too, for the shell as well") {
    BarScenario s("startup_edge2", "Show on top of desktop=2\r\n");
    CheckDocked(s.bar, ABE_TOP, 24, s.topPlace);
    // The shell keeps the top rows for it.
    CHECK(AppBarPlace(ABE_TOP, 24).top == s.topPlace.top + 24);
    CHECK(s.Exit());
  }
  SUBCASE("3 is the bottom edge") {
    BarScenario s("startup_bottom", "Show on top of desktop=3\r\n");
    CheckDocked(s.bar, ABE_BOTTOM, 24, s.bottomPlace);
    CHECK(s.Exit());
  }
  SUBCASE("Bar height 40, read from the working directory, not the program's") {
    BarScenario s("startup_height40", "Bar height=40\r\n");
    RECT expected = s.bottomPlace;
    expected.top = expected.bottom - 40;
    CheckDocked(s.bar, ABE_BOTTOM, 40, expected);
    CHECK(s.Exit());
    CHECK(s.scenario.ReadFile("marbel.ini") == NO_BROWSER_INI + "Bar height=40\r\n");
  }
  SUBCASE("a hand-edited height below 24 is 24, above half the screen half the screen") {
    for (int written : {5, 5000}) {
      const int height = written < 24 ? 24 : ScreenSize().cy / 2;
      const std::string line = "Bar height=" + std::to_string(written) + "\r\n";
      BarScenario s(written < 24 ? "startup_height5" : "startup_height5000", line);
      RECT expected = s.bottomPlace;
      expected.top = expected.bottom - height;
      CheckDocked(s.bar, ABE_BOTTOM, height, expected);
      CHECK(s.Exit());
      CHECK(s.scenario.ReadFile("marbel.ini") == NO_BROWSER_INI + line);
    }
  }
}

TEST_CASE("a second instance is refused with a message and leaves the first untouched") {
  BarScenario first("startup_second_instance");
  REQUIRE(first.bar);
  RECT before = WindowRect(first.bar);
  Process second = first.scenario.StartMarbel();
  HWND box = FindMessageBox("marbel");
  REQUIRE(box);
  CHECK(ProcessOf(box) == second.pid);
  CHECK(MessageBoxText(box) == "Another instance of Marbel! or Marbel Manager is running!");
  CHECK(TopLevelWindows("MARBEL_MANAGER_CLASS").size() == 1);  // no second bar behind the box
  CloseMessageBox(box);
  CHECK(second.WaitExit(5000));
  CHECK(IsWindowVisible(first.bar));
  RECT after = WindowRect(first.bar);
  CHECK(EqualRect(&before, &after));
  // The refused process mapped the taskbar hook library too; its exit must
  // not take the first bar's hook with it.
  BrowserFixture browsers(first.scenario);
  REQUIRE(browsers.Ready());
  HWND ie = browsers.Open("IEFrame", "after refusal");
  REQUIRE(ie);
  first.shell.Add(ie);
  first.shell.Trigger();
  CHECK(first.shell.Buttons() == "");
  CHECK(first.Exit());
}

TEST_CASE("a foreign window titled \"Marbel! main window\" blocks the start") {
  Scenario scenario("startup_foreign_window");
  StandinShell shell(scenario);
  scenario.WriteFile("marbel.ini", NO_BROWSER_INI);
  // Destroyed however the case ends: it would block every later start.
  struct Foreign {
    HWND w = CreateWindowExA(0, "STATIC", "Marbel! main window", WS_POPUP, 0, 0, 10, 10, nullptr,
                             nullptr, nullptr, nullptr);
    ~Foreign() { DestroyWindow(w); }
  } foreign;
  REQUIRE(foreign.w);
  Process marbel = scenario.StartMarbel();
  HWND box = FindMessageBox("marbel");
  REQUIRE(box);
  CHECK(MessageBoxText(box) == "Another instance of Marbel! or Marbel Manager is running!");
  CHECK(TopLevelWindows("MARBEL_MANAGER_CLASS").empty());
  CloseMessageBox(box);
  CHECK(marbel.WaitExit(5000));
}

TEST_CASE("full-screen windows push the bar down only when placement is not forced") {
  SUBCASE("forced (the default): the bar stays on top") {
    BarScenario s("fullscreen_forced");
    REQUIRE(s.bar);
    SendMessageA(s.bar, WM_BAR_APPBAR, ABN_FULLSCREENAPP, 1);
    CHECK(IsTopmost(s.bar));
    CHECK(s.Exit());
  }
  SUBCASE("not forced: to the bottom of the Z order, and back when it closes") {
    BarScenario s("fullscreen_yields",
                  "Force placement over fullscreen popups=0\r\n");
    REQUIRE(s.bar);
    CHECK(IsTopmost(s.bar));
    SendMessageA(s.bar, WM_BAR_APPBAR, ABN_FULLSCREENAPP, 1);
    CHECK_FALSE(IsTopmost(s.bar));
    CHECK(GetWindow(s.bar, GW_HWNDNEXT) == nullptr);  // the last window of the Z order
    SendMessageA(s.bar, WM_BAR_APPBAR, ABN_FULLSCREENAPP, 0);
    CHECK(IsTopmost(s.bar));
    CHECK(s.Exit());
  }
}

TEST_CASE("ABN_POSCHANGED puts the bar back at its edge, leaving the active window active; other codes change nothing") {
  BarScenario s("appbar_poschanged");
  REQUIRE(s.bar);
  BrowserFixture browser(s.scenario, "--title Active");
  REQUIRE(browser.Ready());
  HWND active = FindWindowA("IEFrame", "Active");
  REQUIRE(browser.Do("activate", active));
  REQUIRE(WaitUntil([&] { return GetForegroundWindow() == active; }));
  RECT docked = WindowRect(s.bar);
  SetWindowPos(s.bar, nullptr, 100, 200, 300, 50, SWP_NOZORDER | SWP_NOACTIVATE);
  CHECK(SendMessageA(s.bar, WM_BAR_APPBAR, ABN_STATECHANGE, 0) == 1);
  CHECK(WindowRect(s.bar).left == 100);
  CHECK(SendMessageA(s.bar, WM_BAR_APPBAR, ABN_POSCHANGED, 0) == 1);
  RECT back = WindowRect(s.bar);
  CHECK(EqualRect(&docked, &back));
  // Any other app bar coming or going sends this: it must not take the focus.
  Pause(300);
  CHECK(GetForegroundWindow() == active);
  CHECK(s.Exit());
}

TEST_CASE("WM_CLOSE ends the bar and removes its hooks") {
  BarScenario s("shutdown_clean");
  REQUIRE(s.bar);
  CHECK(s.Exit());
  CHECK(s.marbel.ExitCode() == 0);
  // With the taskbar hook gone, a new browser window keeps its taskbar button
  // through the taskbar's own trigger.
  BrowserFixture browsers(s.scenario);
  REQUIRE(browsers.Ready());
  HWND ie = browsers.Open("IEFrame", "after exit");
  REQUIRE(ie);
  s.shell.Add(ie);
  s.shell.Trigger(3);
  CHECK(s.shell.Buttons() == "after exit");
}

TEST_CASE("the taskbar hook is installed at start and browser buttons are purged") {
  Scenario scenario("startup_purges_taskbar");
  StandinShell shell(scenario);
  REQUIRE(shell.tray);
  BrowserFixture browsers(scenario);
  REQUIRE(browsers.Ready());
  HWND ie = browsers.Open("IEFrame", "browser");
  HWND other = browsers.Open("Notepad", "editor");
  shell.Add(ie);
  shell.Add(other);
  CHECK(shell.Buttons() == "browser editor");
  scenario.WriteFile("marbel.ini", NO_BROWSER_INI);
  Process marbel = scenario.StartMarbel();
  HWND bar = WaitForBar(marbel);
  REQUIRE(bar);
  CHECK(shell.Buttons() == "editor");
  PostMessageA(bar, WM_CLOSE, 0, 0);
  CHECK(marbel.WaitExit(5000));
}

TEST_CASE("without a taskbar the bar does not come up") {
  Scenario scenario("startup_no_taskbar");
  scenario.WriteFile("marbel.ini", NO_BROWSER_INI);
  Process marbel = scenario.StartMarbel();
  HWND box = FindMessageBox("bartask.dll : error !");
  REQUIRE(box);
  CHECK(MessageBoxText(box) == "Can't locate the taskbar!");
  // Asked while the box shows: once the process ended its windows are gone anyway.
  for (HWND bar : TopLevelWindows("MARBEL_MANAGER_CLASS")) CHECK_FALSE(IsWindowVisible(bar));
  CloseMessageBox(box);
  CHECK(marbel.WaitExit(5000));
  // Nor did its shell hook stay behind: the next bar hears of a window once.
  BarRun next(scenario, Quiet());
  REQUIRE(next.bar);
  BrowserFixture browsers(scenario);
  REQUIRE(browsers.Ready());
  REQUIRE(browsers.Open("IEFrame", "once"));
  CHECK(WaitForButtons(next.bar, 1).size() == 1);
  WaitUntil([] { return false; }, 500);
  CHECK(PaintedButtons(next.bar).size() == 1);
}
