// The bar holds no more after long use than before it: paints, bar menus,
// tooltips and browser windows opened and closed leave its object and
// handle counts where they were (after a short warm-up, which lets the
// system's own caches settle).
//
// GetGuiResources, the count of GDI and USER objects, is a stub under Wine
// that answers 0: there those two counts are not compared (the case
// "the system counts ..." says it was skipped), and the bar's windows and
// private memory stand in for them (see ProcessCounts).
#include "rig_fault.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

// One paint: the whole bar invalidated and painted now.
bool Paint(HWND bar) {
  DWORD_PTR result;
  InvalidateRect(bar, nullptr, TRUE);
  return SendMessageTimeoutA(bar, WM_PAINT, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
}

bool NoMenu() { return !FindPopupMenu(0); }

// The bar menu opened by a right press on the bar's empty part, then
// dismissed with Escape.
bool MenuOpenedAndDismissed(HWND bar) {
  HWND menu = PostBarMenu(bar);
  if (!menu) return false;
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  if (WaitUntil(NoMenu, 2000)) return true;
  PostMessageA(bar, WM_CANCELMODE, 0, 0);
  return WaitUntil(NoMenu, 2000);
}

// The tip of a button shown by the pointer resting on it, and hidden again
// when the pointer leaves the bar.
bool TipShownAndHidden(HWND bar, HWND tip, const PaintedButton& button) {
  RECT r = WindowRect(bar);
  MoveMouse(r.left + button.left + button.width / 2, (r.top + r.bottom) / 2);
  bool shown = WaitUntil([&] { return IsWindowVisible(tip) != 0; }, 3000);
  MoveMouse(r.left + button.left + button.width / 2, r.top - 100);
  return WaitUntil([&] { return !IsWindowVisible(tip); }, 3000) && shown;
}

// GetGuiResources counts this process's own device context.
bool GuiObjectsCounted() {
  HDC dc = CreateCompatibleDC(nullptr);
  bool counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) > 0 &&
                 GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) > 0;
  DeleteDC(dc);
  return counted;
}

struct Use {
  int paints, menus, tips, windows;
};

void UseBar(const BarRun& run, Scenario& s, const Use& use) {
  std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 2);
  REQUIRE(buttons.size() == 2);
  int painted = 0, menus = 0, tips = 0;
  for (int i = 0; i < use.paints; ++i) painted += Paint(run.bar);
  for (int i = 0; i < use.menus; ++i) menus += MenuOpenedAndDismissed(run.bar);
  for (int i = 0; i < use.tips; ++i) tips += TipShownAndHidden(run.bar, run.tip, buttons[i % 2]);
  CHECK(painted == use.paints);
  CHECK(menus == use.menus);
  // Wine's virtual desktop drops a synthesized pointer move now and then.
  CHECK(tips >= use.tips * 9 / 10);
  CHECK(ChurnsSucceed(StartChurn(s, 1, use.windows), 120000));
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == 2; }));
}

}  // namespace

TEST_CASE("leaks: paints, menus, tooltips and 1,000 browser windows leave the bar's counts unchanged") {
  Scenario s("leaks");
  BrowserFixture browser(s, "--title \"First page\" --title \"Second page\"");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet("Show close button on IE buttons=1\r\nonly on active IE button=0\r\n"));
  REQUIRE(run.bar);
  REQUIRE(run.tip);
  DWORD marbel = ProcessOf(run.bar);
  // Tips at once, so that 200 of them take seconds, not minutes.
  SendMessageTimeoutA(run.tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1, SMTO_NORMAL, 5000, nullptr);
  SendMessageTimeoutA(run.tip, TTM_SETDELAYTIME, TTDT_RESHOW, 1, SMTO_NORMAL, 5000, nullptr);

  UseBar(run, s, {20, 5, 5, 20});
  ProcessCounts before = CountsOf(marbel);
  UseBar(run, s, {1000, 200, 200, 1000});
  ProcessCounts after = CountsOf(marbel);
  MESSAGE("GDI objects " << before.gdiObjects << " -> " << after.gdiObjects << ", USER objects "
                         << before.userObjects << " -> " << after.userObjects << ", handles "
                         << before.handles << " -> " << after.handles << ", windows "
                         << before.windows << " -> " << after.windows << ", private bytes "
                         << before.privateBytes << " -> " << after.privateBytes);
  CHECK(before.handles > 0);
  CHECK(before.windows > 0);
  if (GuiObjectsCounted()) {
    CHECK(after.gdiObjects <= before.gdiObjects);
    CHECK(after.userObjects <= before.userObjects);
  }
  CHECK(after.handles <= before.handles);
  CHECK(after.windows <= before.windows);
  // The heap may keep a little more after growing once; a leak of one
  // small object per paint, menu or window grows it by far more.
  CHECK(after.privateBytes <= before.privateBytes + 64 * 1024);
}

TEST_CASE("leaks: the system counts GDI and USER objects, so the leak scenario compares them" * MAY_SKIP) {
  if (!GuiObjectsCounted())
    Skip("GetGuiResources counts no GDI or USER objects here: the leak scenario compares neither");
}
