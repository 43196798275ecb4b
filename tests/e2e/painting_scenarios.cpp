// The bar's face on screen: background and frame, the browser buttons'
// geometry, the highlight of the active window, titles and the close glyph;
// and the rectangles the tooltip control gets from every paint.
#include "rig_list.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

// The bar's pixels, rows [y0, y1) in bar coordinates.
struct BarPixels {
  BarPixels(HWND bar, int y0, int y1) : origin(WindowRect(bar)), top(y0) {
    for (int y = y0; y < y1; ++y) rows.push_back(ScreenRow(origin.top + y, origin.left, origin.right));
  }
  COLORREF At(int x, int y) const { return rows.at(y - top).at(x); }
  // Rows in which some pixel of columns [x0, x1) has colour c.
  int RowsWith(COLORREF c, int x0, int x1) const {
    int n = 0;
    for (const auto& row : rows) {
      bool hit = false;
      for (int x = x0; x < x1; ++x) hit = hit || row.at(x) == c;
      n += hit;
    }
    return n;
  }
  // Rows in which some pixel of columns [x0, x1) is not c: drawn over a fill
  // of c (text is smoothed, so its pixels vary).
  int RowsOtherThan(COLORREF c, int x0, int x1) const {
    int n = 0;
    for (const auto& row : rows) {
      bool hit = false;
      for (int x = x0; x < x1; ++x) hit = hit || row.at(x) != c;
      n += hit;
    }
    return n;
  }
  // Pixels of [x0, x1) x [y0, y1) that are some grey (the close glyph).
  int Greys(int x0, int x1, int y0, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        COLORREF c = At(x, y);
        n += GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
      }
    return n;
  }
  RECT origin;
  int top;
  std::vector<std::vector<COLORREF>> rows;
};

const COLORREF kLight = GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kShadow = GetSysColor(COLOR_BTNSHADOW);

int ClientWidth(HWND bar) {
  RECT r = {};
  GetClientRect(bar, &r);
  return r.right;
}

}  // namespace

TEST_CASE("painting: no browser window, only the background and the raised frame") {
  Scenario s("paint empty");
  BarRun run(s, Quiet());
  REQUIRE(run.bar);
  REQUIRE(WaitUntil([&] { return ScreenPixel(WindowRect(run.bar).left + 500, WindowRect(run.bar).top + 12) == BAR_COLOR; }));
  const int width = ClientWidth(run.bar);
  REQUIRE(width == 1024);
  BarPixels px(run.bar, 0, 24);
  CHECK(px.At(500, 0) == kLight);
  CHECK(px.At(0, 12) == kLight);
  CHECK(px.At(500, 23) == kShadow);
  CHECK(px.At(width - 1, 12) == kShadow);
  int other = 0;
  for (int y = 1; y < 23; ++y)
    for (int x = 54; x < width - 32; ++x) other += px.At(x, y) != BAR_COLOR;
  CHECK(other == 0);
  CHECK(PaintedButtons(run.bar).empty());
}

TEST_CASE("painting: button geometry from the client width and the window count") {
  SUBCASE("one window on a wide bar: 160 wide at x = 54") {
    Scenario s("paint one");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    BarRun run(s, Quiet());
    REQUIRE(run.tip);
    std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 1);
    REQUIRE(buttons.size() == 1);
    CHECK(buttons[0].left == 54);
    CHECK(buttons[0].width == 160);
    Tool t = ToolFor(run.tip, browser.Windows().at(0));
    CHECK(t.rect.left == 54);
    CHECK(t.rect.top == 3);
    CHECK(t.rect.right == 214);
    CHECK(t.rect.bottom == 21);
    CHECK((t.flags & TTF_IDISHWND) == 0);
    CHECK(t.owner == run.bar);
  }
  SUBCASE("ten windows on a 1024-pixel bar: 91 wide at 54, 147, 240 ...") {
    Scenario s("paint ten");
    std::string args;
    for (int i = 0; i < 10; ++i) args += " --title W" + std::to_string(i);
    BrowserFixture browser(s, args);
    REQUIRE(browser.Ready());
    BarRun run(s, Quiet());
    REQUIRE(run.tip);
    REQUIRE(ClientWidth(run.bar) == 1024);
    std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 10);
    REQUIRE(buttons.size() == 10);
    std::vector<Tool> tools = ToolsOf(run.tip);
    REQUIRE(tools.size() == 10);
    for (int i = 0; i < 10; ++i) {
      CAPTURE(i);
      CHECK(buttons[i].left == 54 + 93 * i);
      CHECK(buttons[i].width == 91);
      CHECK(tools[i].rect.left == 54 + 93 * i);
      CHECK(tools[i].rect.right - tools[i].rect.left == 91);
    }
  }
  SUBCASE("enough windows: the buttons reach zero width, the bar carries on") {
    Scenario s("paint many");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    BarRun run(s, Quiet());
    REQUIRE(run.tip);
    HWND a = browser.Windows().at(0);
    REQUIRE(WaitForButtons(run.bar, 1).size() == 1);
    // The shell may report a window more than once; each report is an entry.
    for (int n = 1; n < 469; ++n) REQUIRE(SendShellEvent(run.bar, a, 1));  // 938 / 469 - 2 = 0
    CHECK(WaitForButtons(run.bar, 0).empty());
    // Every entry's tool has the same id, so each paint's rectangles all
    // land on the first tool: the last one painted stays.
    auto firstToolRect = [&](RECT want) {
      RECT r = {};
      bool ok = WaitUntil([&] {
        r = ToolFor(run.tip, a).rect;
        return EqualRect(&r, &want) != 0;
      });
      if (!ok) MESSAGE("first tool " << r.left << "," << r.top << "," << r.right << "," << r.bottom);
      return ok;
    };
    CHECK(firstToolRect({54 + 468 * 2, 3, 54 + 468 * 2, 21}));
    CHECK(ToolsOf(run.tip).size() == 469);
    for (int n = 469; n < 1000; ++n) REQUIRE(SendShellEvent(run.bar, a, 1));  // 938 / 1000 - 2 = -2
    CHECK(firstToolRect({54, 3, 52, 21}));
    CHECK(PaintedButtons(run.bar).empty());
    CHECK(IsWindowVisible(run.bar));
    // Back to one entry: one whole button again.
    for (int n = 1; n < 1000; ++n) REQUIRE(SendShellEvent(run.bar, a, 2));
    std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 1);
    REQUIRE(buttons.size() == 1);
    CHECK(buttons[0].width == 160);
  }
}

TEST_CASE("painting: the active browser's button is sunken in the active colour") {
  Scenario s("paint active");
  BrowserFixture browser(s, "--title A --title B");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.tip);
  REQUIRE(WaitForButtons(run.bar, 2).size() == 2);
  std::vector<Tool> tools = ToolsOf(run.tip);
  REQUIRE(tools.size() == 2);
  HWND second = (HWND)tools[1].id;

  REQUIRE(SendShellEvent(run.bar, second, 4));
  REQUIRE(WaitUntil([&] { auto b = PaintedButtons(run.bar); return b.size() == 2 && b[1].active; }));
  std::vector<PaintedButton> buttons = PaintedButtons(run.bar);
  CHECK_FALSE(buttons[0].active);
  BarPixels px(run.bar, 3, 21);
  const int l0 = buttons[0].left, l1 = buttons[1].left;
  CHECK(px.At(l0, 10) == kLight);   // raised
  CHECK(px.At(l0 + 159, 10) == kShadow);
  CHECK(px.At(l1, 10) == kShadow);  // sunken
  CHECK(px.At(l1 + 159, 10) == kLight);
  CHECK(px.RowsWith(ACTIVE_TEXT_COLOR, l1, l1 + 160) > 0);
  CHECK(px.RowsWith(TEXT_COLOR, l0, l0 + 160) > 0);

  // Another program's window activated: no button stays highlighted.
  REQUIRE(SendShellEvent(run.bar, FindWindowA("Shell_TrayWnd", nullptr), 4));
  CHECK(WaitUntil([&] { auto b = PaintedButtons(run.bar); return b.size() == 2 && !b[0].active && !b[1].active; }));
}

TEST_CASE("painting: titles are drawn as they stand, cut with an ellipsis") {
  Scenario s("paint titles");
  std::string longTitle(200, 'W');
  BrowserFixture browser(s, "--title & --title " + longTitle);
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.tip);
  REQUIRE(WaitForButtons(run.bar, 2).size() == 2);
  // Rows inside the buttons' frames.
  BarPixels px(run.bar, 4, 20);
  std::vector<Tool> tools = ToolsOf(run.tip);
  REQUIRE(tools.size() == 2);
  for (const Tool& t : tools) {
    const bool amp = TextOf((HWND)t.id) == "&";
    CAPTURE(amp);
    const int textLeft = t.rect.left + 4, textRight = t.rect.right - 3;
    // Drawn text stays inside the text rectangle.
    CHECK(px.RowsOtherThan(BUTTON_COLOR, t.rect.left + 1, textLeft) == 0);
    CHECK(px.RowsOtherThan(BUTTON_COLOR, textRight, t.rect.right - 1) == 0);
    if (amp) {
      // No prefix processing: a lone "&" is drawn, not taken as a mnemonic.
      CHECK(px.RowsOtherThan(BUTTON_COLOR, textLeft, textRight) > 0);
    } else {
      // Full-height letters up to near the end, then only the dots of the
      // ellipsis on a row or two at the baseline.
      CHECK(px.RowsOtherThan(BUTTON_COLOR, textLeft, textLeft + 40) > 5);
      int end = textRight;
      while (end > textLeft && px.RowsOtherThan(BUTTON_COLOR, end - 1, end) == 0) --end;
      CHECK(end > textRight - 20);
      int tail = px.RowsOtherThan(BUTTON_COLOR, end - 6, end);
      CHECK(tail >= 1);
      CHECK(tail <= 3);
    }
  }
}

TEST_CASE("painting: the close glyph on the active button or on every button") {
  for (int onlyActive : {1, 0}) {
    CAPTURE(onlyActive);
    Scenario s(onlyActive ? "paint glyph active" : "paint glyph all");
    BrowserFixture browser(s, "--title A --title B");
    REQUIRE(browser.Ready());
    BarRun run(s, Quiet("Show close button on IE buttons=1\r\nonly on active IE button=" +
                                 std::to_string(onlyActive) + "\r\n"));
    REQUIRE(run.tip);
    REQUIRE(WaitForButtons(run.bar, 2).size() == 2);
    std::vector<Tool> tools = ToolsOf(run.tip);
    REQUIRE(tools.size() == 2);
    REQUIRE(SendShellEvent(run.bar, (HWND)tools[0].id, 4));
    REQUIRE(WaitUntil([&] { auto b = PaintedButtons(run.bar); return b.size() == 2 && b[0].active; }));
    BarPixels px(run.bar, 0, 24);
    for (int i = 0; i < 2; ++i) {
      CAPTURE(i);
      const RECT& b = tools[i].rect;
      // 11 x 11 at 2 pixels in from the top right corner, all greys.
      int glyph = px.Greys(b.right - 13, b.right - 2, b.top + 2, b.top + 13);
      bool expected = i == 0 || !onlyActive;
      CHECK(glyph == (expected ? 121 : 0));
      // Nothing of it outside that square.
      CHECK(px.Greys(b.right - 20, b.right - 13, b.top + 1, b.bottom - 1) == 0);
      CHECK(px.Greys(b.right - 13, b.right - 2, b.top + 13, b.bottom - 1) == 0);
    }
  }
}

TEST_CASE("painting: a retitled window's button shows the new title unasked") {
  Scenario s("paint retitle");
  BrowserFixture browser(s, "--title I");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.tip);
  const ShownButtons buttons = WaitForButtons(run.bar, 1);
  REQUIRE(buttons.size() == 1);
  // The rightmost column inside the frame with text on it.
  auto textEnd = [&] {
    BarPixels px(run.bar, 4, 20);
    int end = 0;
    for (int x = buttons[0].left + 2; x < buttons[0].left + buttons[0].width - 2; ++x)
      if (px.RowsOtherThan(BUTTON_COLOR, x, x + 1)) end = x;
    return end;
  };
  const int before = textEnd();
  HWND w = browser.Windows().at(0);
  REQUIRE(browser.Do("title", w, "WWWWWWWW"));
  REQUIRE(SendShellEvent(run.bar, w, 6));
  CHECK(WaitUntil([&] { return textEnd() > before + 20; }));
}
