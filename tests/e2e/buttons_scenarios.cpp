// The bar's five interface buttons seen from outside: their places, sizes
// and images in pixels, the hover and pressed frames, a release outside,
// the press-and-hold menu, their tooltips, and the tint.
#include "rig_buttons.h"
#include "res/resource.h"

#include <algorithm>
#include <doctest/doctest.h>

using namespace rig;

namespace {

struct ButtonSpec {
  int id;
  UINT grey, amber;
  const char* tip;
};
const ButtonSpec kButtons[] = {
    {IDC_NEW_WINDOW, IDB_NEW_WINDOW_GREY, IDB_NEW_WINDOW_AMBER, "New browser window.\nHold for menu."},
    {IDC_CLOSE_RIGHT, IDB_CLOSE_GREY, IDB_CLOSE_AMBER, "Close"},
    {IDC_CLOSE_LEFT, IDB_CLOSE_GREY, IDB_CLOSE_AMBER, "Close"},
    {IDC_HIDE_RIGHT, IDB_HIDE_GREY, IDB_HIDE_AMBER, "Hide in tray"},
    {IDC_HIDE_LEFT, IDB_HIDE_GREY, IDB_HIDE_AMBER, "Hide in tray"},
};

// Where the button stands in the bar's client area.
POINT PlaceInBar(HWND bar, HWND button) {
  RECT r = WindowRect(button);
  POINT p = {r.left, r.top};
  ScreenToClient(bar, &p);
  return p;
}

int ClientWidth(HWND bar) {
  RECT r = {};
  GetClientRect(bar, &r);
  return r.right;
}

// (alpha x c + (255 - alpha) x d) >> 8 per channel.
COLORREF Mix(COLORREF c, COLORREF d, int alpha) {
  auto ch = [&](int cc, int dd) { return (alpha * cc + (255 - alpha) * dd) >> 8; };
  return RGB(ch(GetRValue(c), GetRValue(d)), ch(GetGValue(c), GetGValue(d)),
             ch(GetBValue(c), GetBValue(d)));
}

std::vector<COLORREF> Tinted(const std::vector<COLORREF>& frame, COLORREF colour, int alpha) {
  std::vector<COLORREF> out;
  for (COLORREF d : frame) out.push_back(colour == 0 ? d : Mix(colour, d, alpha));
  return out;
}

// Docked at the top edge: the buttons' tooltips then open below the bar,
// clear of the buttons.
const std::string AT_TOP = Quiet("Show on top of desktop=1\r\n");

// Popup menus on the screen.
size_t MenusShown() {
  size_t n = 0;
  for (HWND w : TopLevelWindows("#32768")) n += IsWindowVisible(w) != FALSE;
  return n;
}

// The pointer somewhere on the screen that is not the bar.
const POINT AWAY = {512, 600};
void PointerAway() { MoveMouse(AWAY.x, AWAY.y); }

// The tooltip window's height once the tip for the button shows.
int ShownTipHeight(HWND bar, HWND button) {
  HWND tip = ButtonToolTip(bar, button);
  if (!tip) return 0;
  POINT c = CenterOf(button);
  MoveMouse(c.x, c.y);
  MoveMouse(c.x + 1, c.y);  // a move inside, so the tip starts its delay
  int height = 0;
  WaitUntil([&] { return IsWindowVisible(tip); }, 5000);
  if (IsWindowVisible(tip)) height = WindowRect(tip).bottom - WindowRect(tip).top;
  PointerAway();
  WaitUntil([&] { return !IsWindowVisible(tip); }, 3000);
  return height;
}

}  // namespace

TEST_CASE("interface buttons: ids, places, one frame in size, the amber images, tooltips") {
  Scenario s("buttons places");
  BarRun run(s, AT_TOP);
  REQUIRE(run.bar);
  const int width = ClientWidth(run.bar);
  REQUIRE(width == 1024);
  const POINT places[] = {{32, 3}, {width - 16, 3}, {3, 3}, {width - 29, 3}, {16, 3}};
  for (size_t i = 0; i < 5; ++i) {
    const ButtonSpec& b = kButtons[i];
    CAPTURE(b.id);
    HWND button = GetDlgItem(run.bar, b.id);
    REQUIRE(button);
    CHECK(ClassOf(button) == "Button");
    CHECK((DWORD)GetWindowLongA(button, GWL_STYLE) == 0x5000000Bu);
    CHECK(TextOf(button).empty());
    POINT at = PlaceInBar(run.bar, button);
    CHECK(at.x == places[i].x);
    CHECK(at.y == places[i].y);
    RECT r = WindowRect(button);
    int side = b.id == IDC_NEW_WINDOW ? 18 : 12;
    CHECK(r.right - r.left == side);
    CHECK(r.bottom - r.top == side);
    // "Enable blending" is off: the amber strip's normal frame, as drawn.
    Strip amber = LoadStrip(b.amber);
    REQUIRE(amber.frameWidth == side);
    CHECK(WaitForFrame(button, amber, 0));
    HWND tip = ButtonToolTip(run.bar, button);
    REQUIRE(tip);
    CHECK(tip != ButtonToolTip(run.bar, GetDlgItem(run.bar, kButtons[(i + 1) % 5].id)));
    std::vector<Tool> tools = ToolsOf(tip);
    REQUIRE(tools.size() == 1);
    CHECK(tools[0].id == 1);
    CHECK(tools[0].rect.right == side);
    CHECK(tools[0].rect.bottom == side);
    CHECK(ToolText(tip, button, 1) == b.tip);
  }
  SUBCASE("the new-window tip shows two lines, the close tip one") {
    int twoLines = ShownTipHeight(run.bar, GetDlgItem(run.bar, IDC_NEW_WINDOW));
    int oneLine = ShownTipHeight(run.bar, GetDlgItem(run.bar, IDC_CLOSE_LEFT));
    REQUIRE(oneLine > 0);
    // Two text lines add a line's height to the same margins.
    CHECK(twoLines > oneLine + 6);
    CHECK(twoLines < 2 * oneLine);
  }
  SUBCASE("a new width moves the four small buttons, never the new-window button") {
    SetWindowPos(run.bar, nullptr, 0, 0, 700, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    REQUIRE(WaitUntil([&] { return ClientWidth(run.bar) == 700; }));
    const POINT moved[] = {{32, 3}, {684, 3}, {3, 3}, {671, 3}, {16, 3}};
    for (size_t i = 0; i < 5; ++i) {
      HWND button = GetDlgItem(run.bar, kButtons[i].id);
      CAPTURE(kButtons[i].id);
      CHECK(PlaceInBar(run.bar, button).x == moved[i].x);
      CHECK(PlaceInBar(run.bar, button).y == moved[i].y);
      CHECK(WindowRect(button).right - WindowRect(button).left == (i == 0 ? 18 : 12));
    }
  }
}

TEST_CASE("interface buttons: hover, pressed, a release outside, no hold timer on close and hide") {
  Scenario s("buttons mouse");
  BarRun run(s, AT_TOP);
  REQUIRE(run.bar);
  HWND hide = GetDlgItem(run.bar, IDC_HIDE_LEFT);
  HWND close = GetDlgItem(run.bar, IDC_CLOSE_LEFT);
  REQUIRE(hide);
  REQUIRE(close);
  Strip hideStrip = LoadStrip(IDB_HIDE_AMBER), closeStrip = LoadStrip(IDB_CLOSE_AMBER);
  REQUIRE(WaitForFrame(hide, hideStrip, 0));

  SUBCASE("the pointer resting on a button shows the hover frame until it leaves") {
    POINT c = CenterOf(hide);
    MoveMouse(c.x, c.y);
    MoveMouse(c.x + 1, c.y);
    CHECK(WaitForFrame(hide, hideStrip, 2));
    CHECK(ShownFrame(close, closeStrip) == 0);  // only the one under the pointer
    // From one button straight onto its neighbour.
    c = CenterOf(close);
    MoveMouse(c.x, c.y);
    MoveMouse(c.x + 1, c.y);
    CHECK(WaitForFrame(close, closeStrip, 2));
    CHECK(WaitForFrame(hide, hideStrip, 0));
    PointerAway();
    CHECK(WaitForFrame(close, closeStrip, 0));
    // Tracking is asked for again after a leave.
    c = CenterOf(hide);
    MoveMouse(c.x, c.y);
    MoveMouse(c.x + 1, c.y);
    CHECK(WaitForFrame(hide, hideStrip, 2));
    PointerAway();
    CHECK(WaitForFrame(hide, hideStrip, 0));
  }
  SUBCASE("pressed over hover; held on close 500 ms: no menu; released outside: no click") {
    POINT c = CenterOf(close);
    MoveMouse(c.x, c.y);
    MoveMouse(c.x + 1, c.y);
    REQUIRE(WaitForFrame(close, closeStrip, 2));
    LeftDownAt(c.x + 1, c.y);
    CHECK(WaitForFrame(close, closeStrip, 1));
    Pause(500);
    CHECK(MenusShown() == 0);  // no hold timer on the close button
    CHECK(ShownFrame(close, closeStrip) == 1);
    PointerAway();
    LeftUpAt(AWAY.x, AWAY.y);
    Pause(500);
    CHECK(IsWindow(run.bar));  // a click would have closed the bar
    CHECK(WaitForFrame(close, closeStrip, 0));
  }
  SUBCASE("hide button held 500 ms: no menu, released outside: the bar stays") {
    POINT c = CenterOf(hide);
    MoveMouse(c.x, c.y);
    LeftDownAt(c.x, c.y);
    CHECK(WaitForFrame(hide, hideStrip, 1));
    Pause(500);
    CHECK(MenusShown() == 0);
    PointerAway();
    LeftUpAt(AWAY.x, AWAY.y);
    Pause(500);
    CHECK(IsWindowVisible(run.bar));
  }
  SUBCASE("a click on the right close button closes the bar") {
    Click(CenterOf(GetDlgItem(run.bar, IDC_CLOSE_RIGHT)).x,
          CenterOf(GetDlgItem(run.bar, IDC_CLOSE_RIGHT)).y);
    CHECK(WaitUntil([&] { return !IsWindow(run.bar); }, 5000));
  }
  PointerAway();
}

TEST_CASE("interface buttons: the new-window button held 200 ms opens the bar menu above the bar") {
  Scenario s("buttons hold");
  BarRun run(s, Quiet("Show on top of desktop=3\r\n"));  // room above it
  REQUIRE(run.bar);
  HWND newWindow = GetDlgItem(run.bar, IDC_NEW_WINDOW);
  REQUIRE(newWindow);
  Strip newStrip = LoadStrip(IDB_NEW_WINDOW_AMBER);
  REQUIRE(WaitForFrame(newWindow, newStrip, 0));
  POINT c = CenterOf(newWindow);
  MoveMouse(c.x, c.y);
  LeftDownAt(c.x, c.y);
  CHECK(WaitForFrame(newWindow, newStrip, 1, 150));
  HWND menu = FindPopupMenu(3000);
  CHECK(menu);
  if (menu) {
    RECT m = WindowRect(menu), bar = WindowRect(run.bar);
    CHECK(m.left == bar.left + 50);
    // The bottom edge at the bar's client y = 2, unless the system keeps the
    // menu inside the work area (Wine's ends above its own taskbar).
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CHECK(m.bottom == std::min<LONG>(bar.top + 2, work.bottom));
    Pause(600);
    CHECK(MenusShown() == 1);  // the timer fired once
    PressKey(VK_ESCAPE);
    CHECK(WaitUntil([] { return MenusShown() == 0; }, 2000));
  } else {
    PointerAway();  // no click either
  }
  LeftUp();
  Pause(300);
  CHECK(MenusShown() == 0);
}

TEST_CASE("interface buttons blending: grey and tinted at 32 bits per pixel, else amber") {
  const bool deep = ScreenBitsPerPixel() == 32;
  MESSAGE("screen bits per pixel: " << ScreenBitsPerPixel());
  struct Case {
    const char* name;
    bool enable;
    COLORREF colour;
    int alpha;
  } cases[] = {
      {"blend solid", true, RGB(0, 128, 255), 255},
      {"blend half", true, RGB(200, 40, 90), 128},
      {"blend none", true, RGB(255, 255, 255), 0},
      {"blend black", true, RGB(0, 0, 0), 255},
      {"blend off", false, RGB(0, 128, 255), 255},
  };
  for (const Case& k : cases) {
    std::string caseName = k.name;
    CAPTURE(caseName);
    Scenario s(k.name);
    BarRun run(
        s, AT_TOP, ThemeLine("Enable blending", k.enable) + ThemeLine("Alpha", k.alpha) +
               ThemeLine("Blending color", k.colour));
    REQUIRE(run.bar);
    for (const ButtonSpec& b : kButtons) {
      CAPTURE(b.id);
      HWND button = GetDlgItem(run.bar, b.id);
      REQUIRE(button);
      std::vector<COLORREF> expected;
      if (deep && k.enable)
        expected = Tinted(LoadStrip(b.grey).Frame(0), k.colour, k.alpha);
      else
        expected = LoadStrip(b.amber).Frame(0);  // grey is never loaded here
      // Below 32 bits the screen and our copy of the strip may round a
      // channel differently; amber, grey and tinted differ by far more.
      CHECK(WaitForPixels(button, expected, deep ? 0 : 8));
      if (deep && k.enable && k.alpha == 255 && k.colour != 0) {
        // One solid block of almost the colour.
        std::vector<COLORREF> shown = ScreenPixels(button);
        CHECK(std::count(shown.begin(), shown.end(), Mix(k.colour, 0, 255)) == (long)shown.size());
      }
    }
  }
}
