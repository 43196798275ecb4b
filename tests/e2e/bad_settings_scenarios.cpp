// The real bar started on damaged settings files: every 25th of the 1,000
// generated pairs of marbel.ini and colors.ini (the unit tests put all of
// them through the loader). Each start must come up, show no message, dock
// (or stick, or hide) as the private-profile reader's values say, paint its
// background in the colour they say, hold its hot keys, leave both files as
// they were and end cleanly. A browser window is open throughout, so the
// bar scans it, places it with whatever rectangle the file holds and never
// starts a browser of its own.
#include "rig_input.h"
#include "rig_tray.h"
#include "tests/fixtures/bad_ini.h"

#include <algorithm>
#include <cstdlib>
#include <doctest/doctest.h>

using namespace rig;

namespace {

const int SAMPLE_STEP = 25;
const int FILE_PAIRS = 1000;

// What the system's reader makes of the files the bar is about to read.
struct ReadValues {
  explicit ReadValues(const Scenario& s)
      : prefs(s.Dir() + "\\marbel.ini"), theme(s.Dir() + "\\colors.ini") {}
  int Pref(const char* key, int def) const {
    return (int)GetPrivateProfileIntA("Preferences", key, def, prefs.c_str());
  }
  int Theme(const char* key, int def) const {
    return (int)GetPrivateProfileIntA("Color theme", key, def, theme.c_str());
  }
  std::string prefs, theme;
};

bool BarOwnsMessageBox(const Process& marbel) {
  for (HWND w : TopLevelWindows("#32770"))
    if (ProcessOf(w) == marbel.pid && IsWindowVisible(w)) return true;
  return false;
}

// A non-zero hot key that nobody holds and the system accepts.
bool HotKeyFree(DWORD value) {
  if (!value || !RegisterHotKey(nullptr, 0x7000, HIWORD(value), LOWORD(value))) return false;
  UnregisterHotKey(nullptr, 0x7000);
  return true;
}

}  // namespace

TEST_CASE("damaged settings files: the bar starts every time, as the profile reader reads them") {
  Scenario scenario("bad_settings_sample");
  StandinShell shell(scenario);
  REQUIRE(shell.tray);
  BrowserFixture browser(scenario);
  REQUIRE(browser.Ready());
  const SIZE screen = ScreenSize();
  const int freeBottom = AppBarPlaceAtBottom(24).bottom;
  int trayStarts = 0, stickingStarts = 0, topDocks = 0, colourChecks = 0, hotKeyChecks = 0;

  for (int seed = 0; seed < FILE_PAIRS; seed += SAMPLE_STEP) {
    INFO("seed " << seed);
    // "Close browser windows on exit" may have closed it last time.
    if (browser.Windows().empty()) REQUIRE(browser.Open("IEFrame", "A"));
    const badini::Files files = badini::Make(seed);
    scenario.WriteFile("marbel.ini", files.settings);
    scenario.WriteFile("colors.ini", files.theme);
    const ReadValues read(scenario);
    // The bar keeps its height between 24 and half the screen.
    const int height = std::min<int>(std::max(read.Pref("Bar height", 24), 24), screen.cy / 2);
    const bool bottom = read.Pref("Show on top of desktop", 3) == 3;
    const bool inTray = read.Pref("Hide into the system tray on start", 0) != 0;
    const bool sticking = read.Pref("IE sticking mode", 0) != 0;
    const bool saneHeight = height >= 20 && height <= 300;
    const RECT place = AppBarPlace(bottom ? ABE_BOTTOM : ABE_TOP, height);

    // Free before the start, each hot key is the bar's while it runs.
    const DWORD hotKeys[] = {(DWORD)read.Pref("Hot Key Hide", 0x3006D),
                             (DWORD)read.Pref("Hot Key New", 0x3006B)};
    const bool freeBefore[] = {HotKeyFree(hotKeys[0]), HotKeyFree(hotKeys[1])};
    Process marbel = scenario.StartMarbel();
    HWND bar = WaitForBar(marbel);
    REQUIRE(bar);
    CHECK_FALSE(BarOwnsMessageBox(marbel));
    if (inTray) {
      ++trayStarts;
      CHECK_FALSE(IsWindowVisible(bar));
      CHECK(WaitUntil([&] { return TrayIconsOf(bar).size() == 1; }));
      CHECK(AppBarPlaceAtBottom(24).bottom == freeBottom);  // no app bar of ours
    } else if (sticking) {
      ++stickingStarts;
      CHECK(IsWindowVisible(bar));
      CHECK(WaitUntil([&] { return TrayIconsOf(bar).size() == 1; }));
      CHECK(AppBarPlaceAtBottom(24).bottom == freeBottom);
    } else {
      CHECK(IsWindowVisible(bar));
      CHECK(TrayIconsOf(bar).empty());
      RECT r = WindowRect(bar);
      topDocks += !bottom;
      CHECK(r.left == 0);
      CHECK(r.right == screen.cx);
      CHECK(r.top == place.top);
      CHECK(r.bottom - r.top == height);
      // The background in "Bar background color", where no button is.
      const COLORREF barColor = read.Theme("Bar background color", GetSysColor(COLOR_BTNFACE));
      if (saneHeight && (barColor >> 24) == 0) {
        ++colourChecks;
        REQUIRE(browser.MoveClearOfBars());
        POINT p = EmptySpot(bar);
        INFO("colour " << barColor << ", on screen " << ScreenPixel(p.x, p.y) << ", height " << height);
        CHECK(WaitUntil([&] { return ScreenPixel(p.x, p.y) == barColor; }, 3000));
      }
    }
    for (int i = 0; i < 2; ++i) {
      if (!freeBefore[i]) continue;
      ++hotKeyChecks;
      CHECK_FALSE(HotKeyFree(hotKeys[i]));
    }

    PostMessageA(bar, WM_CLOSE, 0, 0);
    CHECK(marbel.WaitExit(5000));
    CHECK(marbel.ExitCode() == 0);
    // Nothing written, nothing created, the app bar gone.
    CHECK(scenario.ReadFile("marbel.ini") == files.settings);
    CHECK(scenario.ReadFile("colors.ini") == files.theme);
    CHECK(scenario.Files() == std::vector<std::string>{"colors.ini", "marbel.ini"});
    CHECK(WaitUntil([&] { return AppBarPlaceAtBottom(24).bottom == freeBottom; }, 2000));
    if (!marbel.WaitExit(0)) marbel.Kill();
  }
  // The sample reached every way of coming up.
  CHECK(trayStarts > 0);
  CHECK(stickingStarts > 0);
  CHECK(topDocks > 0);
  CHECK(colourChecks >= 5);
  CHECK(hotKeyChecks >= 20);
}
