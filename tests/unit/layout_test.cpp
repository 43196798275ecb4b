// The browser buttons' arithmetic and the display title rule.
#include <doctest/doctest.h>
#include "bar/Layout.h"

namespace {

RECT Client(int width, int height = 24) { return {0, 0, width, height}; }

}  // namespace

TEST_CASE("display title: the browser's suffix is removed and blanks trimmed") {
  CHECK(DisplayTitle("Page - Microsoft Internet Explorer") == "Page");
  CHECK(DisplayTitle(" - Microsoft Internet Explorer").empty());
  CHECK(DisplayTitle("Page - Microsoft Internet Explorer - Microsoft Internet Explorer") == "Page");
  // Wherever it stands, not only at the end.
  CHECK(DisplayTitle("A - Microsoft Internet Explorer B") == "A B");
  CHECK(DisplayTitle("  \tPage one  \r\n") == "Page one");
  CHECK(DisplayTitle("   ").empty());
  CHECK(DisplayTitle("").empty());
  // Removing one occurrence may join the halves into another; that one stays.
  CHECK(DisplayTitle(" - Microsoft - Microsoft Internet Explorer Internet Explorer") ==
        "- Microsoft Internet Explorer");
  // Only the exact suffix: other case, no leading blank, other products stay.
  CHECK(DisplayTitle("Page - microsoft internet explorer") == "Page - microsoft internet explorer");
  CHECK(DisplayTitle("Page- Microsoft Internet Explorer") == "Page- Microsoft Internet Explorer");
  CHECK(DisplayTitle("Page - Mozilla Firefox") == "Page - Mozilla Firefox");
  CHECK(DisplayTitle("R&D - Microsoft Internet Explorer") == "R&D");
}

TEST_CASE("button layout: width, positions and the close glyph") {
  SUBCASE("the area leaves 54 pixels left, 32 right and 3 above and below") {
    RECT a = ButtonArea(Client(1024, 24));
    CHECK(a.left == 54);
    CHECK(a.top == 3);
    CHECK(a.right == 992);
    CHECK(a.bottom == 21);
    CHECK(a.right - a.left == 938);
  }
  SUBCASE("one window on a wide bar: 160 wide at x = 54") {
    RECT a = ButtonArea(Client(1024));
    int w = ButtonWidth(a, 1);
    CHECK(w == 160);
    RECT b = ButtonRect(a, w, 0);
    CHECK(b.left == 54);
    CHECK(b.right == 214);
    CHECK(b.top == 3);
    CHECK(b.bottom == 21);
  }
  SUBCASE("ten windows on a 1024-pixel bar: 91 wide, 93 apart") {
    RECT a = ButtonArea(Client(1024));
    int w = ButtonWidth(a, 10);
    CHECK(w == 91);
    const int lefts[] = {54, 147, 240, 333, 426, 519, 612, 705, 798, 891};
    for (size_t i = 0; i < 10; ++i) {
      RECT b = ButtonRect(a, w, i);
      CHECK(b.left == lefts[i]);
      CHECK(b.right - b.left == 91);
    }
    // The last button ends inside the area.
    CHECK(ButtonRect(a, w, 9).right <= a.right);
  }
  SUBCASE("the width is capped at 160 and shrinks with the count") {
    RECT a = ButtonArea(Client(1024));
    CHECK(ButtonWidth(a, 5) == 160);       // 938 / 5 - 2 = 185
    CHECK(ButtonWidth(a, 6) == 154);       // 156 - 2
    CHECK(ButtonWidth(a, 0) == 0);
  }
  SUBCASE("many windows: 0 or less, no area, no crash") {
    RECT a = ButtonArea(Client(1024));
    CHECK(ButtonWidth(a, 469) == 0);       // 938 / 469 = 2
    CHECK(ButtonWidth(a, 500) == -1);      // 938 / 500 = 1
    CHECK(ButtonWidth(a, 1000) == -2);     // 0
    for (size_t count : {469u, 500u, 1000u}) {
      int w = ButtonWidth(a, count);
      RECT last = ButtonRect(a, w, count - 1);
      CHECK(last.right - last.left <= 0);
      RECT empty;
      CHECK_FALSE(IntersectRect(&empty, &last, &a));
    }
  }
  SUBCASE("a bar narrower than its margins: the width truncates toward zero") {
    RECT a = ButtonArea(Client(80));       // area -6 wide
    CHECK(ButtonWidth(a, 4) == -3);        // -6 / 4 = -1 (not -2), minus 2
  }
  SUBCASE("the text is inset 4 left and 3 right") {
    RECT t = ButtonTextRect({54, 3, 214, 21});
    CHECK(t.left == 58);
    CHECK(t.right == 211);
    CHECK(t.top == 3);
    CHECK(t.bottom == 21);
  }
  SUBCASE("the close glyph sits 2 pixels in from the top right corner") {
    POINT p = CloseGlyphOrigin({54, 3, 214, 21}, 11);
    CHECK(p.x == 214 - 11 - 2);
    CHECK(p.y == 5);
    POINT q = CloseGlyphOrigin({147, 3, 238, 21}, 11);
    CHECK(q.x == 225);
    CHECK(q.y == 5);
  }
}
