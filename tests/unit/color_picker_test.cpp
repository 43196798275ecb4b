// The colour picker's rules without windows: table, chosen box, layout,
// hit testing and arrow-key navigation.
#include <doctest/doctest.h>
#include "prefs/ColorGrid.h"
#include <string>

TEST_CASE("the colour table holds the 40 named colours in grid order") {
  // Colour references written out as 0x00BBGGRR, independently of RGB().
  const struct { COLORREF ref; const char* name; } expected[COLOR_COUNT] = {
      {0x000000, "Black"}, {0x002AA5, "Brown"}, {0x404000, "Dark Olive Green"},
      {0x005500, "Dark Green"}, {0x5E0000, "Dark Teal"}, {0x8B0000, "Dark blue"},
      {0x82004B, "Indigo"}, {0x282828, "Dark grey"}, {0x00008B, "Dark red"},
      {0x2068FF, "Orange"}, {0x008B8B, "Dark yellow"}, {0x009300, "Green"},
      {0x8E8E38, "Teal"}, {0xFF0000, "Blue"}, {0xC07B7B, "Blue-grey"},
      {0x666666, "Grey - 40"}, {0x0000FF, "Red"}, {0x5BADFF, "Light orange"},
      {0x32CD32, "Lime"}, {0x71B33C, "Sea green"}, {0xD4FF7F, "Aqua"},
      {0xC09E7D, "Light blue"}, {0x800080, "Violet"}, {0x7F7F7F, "Grey - 50"},
      {0xCBC0FF, "Pink"}, {0x00D7FF, "Gold"}, {0x00FFFF, "Yellow"},
      {0x00FF00, "Bright green"}, {0xD0E040, "Turquoise"}, {0xFFFFC0, "Skyblue"},
      {0x480048, "Plum"}, {0xC0C0C0, "Light grey"}, {0xE1E4FF, "Rose"},
      {0x8CB4D2, "Tan"}, {0xE0FFFF, "Light yellow"}, {0x98FB98, "Pale green "},
      {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"}, {0xFAE6E6, "Lavender"},
      {0xFFFFFF, "White"}};
  for (int i = 0; i < COLOR_COUNT; ++i) {
    CAPTURE(i);
    CHECK(COLOR_TABLE[i].color == expected[i].ref);
    CHECK(std::string(COLOR_TABLE[i].name) == expected[i].name);
  }
  CHECK(WM_COLOR_PREVIEW == 2025);
  CHECK(WM_COLOR_CANCELLED == 2029);
}

TEST_CASE("the chosen box of the opening colour") {
  CHECK(ChosenIndex(0x000000, true, true) == 0);
  CHECK(ChosenIndex(0x8E8E38, true, true) == 12);
  CHECK(ChosenIndex(0xFFFFFF, true, true) == 39);
  // "Default" only when its box is there.
  CHECK(ChosenIndex(COLOR_DEFAULT, true, true) == BOX_DEFAULT);
  CHECK(ChosenIndex(COLOR_DEFAULT, false, true) == BOX_CUSTOM);
  // A colour outside the table marks "Other colors", if shown.
  CHECK(ChosenIndex(0x123456, true, true) == BOX_CUSTOM);
  CHECK(ChosenIndex(0x123456, true, false) == BOX_NONE);
}

TEST_CASE("layout of the popup and its boxes") {
  const int m = 2, B = 18;
  const SIZE screen = {1024, 768};
  // Captions 13 pixels high: a caption box is 13 + 4m + 2 = 23 high.
  PopupLayout l = LayoutPopup({100, 200}, m, B, true, true, {60, 13}, screen, 20);
  CHECK(l.rows == 5);
  CHECK(l.defaultBox.left == 2);
  CHECK(l.defaultBox.top == 2);
  CHECK(l.defaultBox.right == 146);
  CHECK(l.defaultBox.bottom == 27);
  // 5 rows + 2m, then the default box's height + 2m.
  CHECK(l.customBox.top == 94 + 25 + 4);
  CHECK(l.customBox.bottom == 123 + 25);
  CHECK(l.customBox.right == 146);
  CHECK(l.window.left == 100);
  CHECK(l.window.top == 200);
  CHECK(l.window.right - l.window.left == 8 * B + 2 * m);
  CHECK(l.window.bottom - l.window.top == 152);

  SUBCASE("cells lie below the default box, B apart") {
    RECT c0 = l.CellRect(0), c39 = l.CellRect(39);
    CHECK(c0.left == 2);
    CHECK(c0.top == 29);
    CHECK(c0.right - c0.left == B);
    CHECK(c39.left == 7 * B + 2);
    CHECK(c39.top == 4 * B + 29);
    CHECK(c39.bottom < l.customBox.top);
    PopupLayout bare = LayoutPopup({0, 0}, m, B, false, false, {0, 0}, screen, 20);
    CHECK(bare.CellRect(9).left == B + 2);
    CHECK(bare.CellRect(9).top == B + 2);
    CHECK(bare.window.bottom == 5 * B + 2 * m);
  }
  SUBCASE("a caption wider than the grid widens the popup") {
    PopupLayout wide = LayoutPopup({0, 0}, m, B, true, true, {200, 13}, screen, 20);
    CHECK(wide.window.right == 204);
    CHECK(wide.defaultBox.right == 202);
    CHECK(wide.customBox.right == 202);
  }
  SUBCASE("the popup stays on the screen") {
    PopupLayout right = LayoutPopup({1000, 100}, m, B, true, true, {60, 13}, screen, 20);
    CHECK(right.window.right == 1024);
    PopupLayout left = LayoutPopup({-30, 100}, m, B, true, true, {60, 13}, screen, 20);
    CHECK(left.window.left == 0);
    // Too low: directly above the 20-pixel button, whose top is at 680.
    PopupLayout low = LayoutPopup({10, 700}, m, B, true, true, {60, 13}, screen, 20);
    CHECK(low.window.bottom == 680);
    CHECK(low.window.top == 680 - 152);
  }
  SUBCASE("hit testing finds the box drawn under the point") {
    for (int i = 0; i < COLOR_COUNT; ++i) {
      RECT c = l.CellRect(i);
      CAPTURE(i);
      CHECK(l.HitTest({c.left, c.top}) == i);
      CHECK(l.HitTest({c.right - 1, c.bottom - 1}) == i);
    }
    CHECK(l.HitTest({50, 10}) == BOX_DEFAULT);
    CHECK(l.HitTest({50, 130}) == BOX_CUSTOM);
    CHECK(l.HitTest({1, 40}) == BOX_NONE);     // the outer margin
    CHECK(l.HitTest({50, 28}) == BOX_NONE);    // between "Default" and the grid
    CHECK(l.HitTest({50, 120}) == BOX_NONE);   // between the grid and "Other colors"
    CHECK(l.HitTest({146, 40}) == BOX_NONE);   // right of the last column
  }
}

TEST_CASE("arrow keys move the hot box through the grid and the two caption boxes") {
  const int last = COLOR_COUNT - 1;
  SUBCASE("with nothing hot") {
    CHECK(ArrowKeyTarget(BOX_NONE, VK_DOWN, true, true) == BOX_CUSTOM);
    CHECK(ArrowKeyTarget(BOX_NONE, VK_RIGHT, true, true) == BOX_CUSTOM);
    CHECK(ArrowKeyTarget(BOX_NONE, VK_UP, true, true) == BOX_DEFAULT);
    CHECK(ArrowKeyTarget(BOX_NONE, VK_LEFT, true, true) == BOX_DEFAULT);
  }
  SUBCASE("at the ends of the grid") {
    CHECK(ArrowKeyTarget(last, VK_RIGHT, true, true) == BOX_CUSTOM);
    CHECK(ArrowKeyTarget(last, VK_DOWN, true, true) == BOX_CUSTOM);
    CHECK(ArrowKeyTarget(0, VK_LEFT, true, true) == BOX_DEFAULT);
    for (int column = 0; column < GRID_COLUMNS; ++column)
      CHECK(ArrowKeyTarget(column, VK_UP, true, true) == BOX_DEFAULT);
    CHECK(ArrowKeyTarget(35, VK_DOWN, true, true) == BOX_CUSTOM);
  }
  SUBCASE("inside the grid") {
    CHECK(ArrowKeyTarget(10, VK_DOWN, true, true) == 18);
    CHECK(ArrowKeyTarget(18, VK_UP, true, true) == 10);
    CHECK(ArrowKeyTarget(10, VK_RIGHT, true, true) == 11);
    CHECK(ArrowKeyTarget(7, VK_RIGHT, true, true) == 8);   // wraps to the next row
    CHECK(ArrowKeyTarget(8, VK_LEFT, true, true) == 7);    // and back
    CHECK(ArrowKeyTarget(11, VK_LEFT, true, true) == 10);
  }
  SUBCASE("from the caption boxes") {
    CHECK(ArrowKeyTarget(BOX_DEFAULT, VK_DOWN, true, true) == 0);
    CHECK(ArrowKeyTarget(BOX_DEFAULT, VK_RIGHT, true, true) == 0);
    CHECK(ArrowKeyTarget(BOX_DEFAULT, VK_UP, true, true) == BOX_CUSTOM);
    CHECK(ArrowKeyTarget(BOX_DEFAULT, VK_LEFT, true, true) == BOX_CUSTOM);
    CHECK(ArrowKeyTarget(BOX_DEFAULT, VK_UP, true, false) == last);
    CHECK(ArrowKeyTarget(BOX_CUSTOM, VK_DOWN, true, true) == BOX_DEFAULT);
    CHECK(ArrowKeyTarget(BOX_CUSTOM, VK_RIGHT, true, true) == BOX_DEFAULT);
    CHECK(ArrowKeyTarget(BOX_CUSTOM, VK_DOWN, false, true) == 0);
    CHECK(ArrowKeyTarget(BOX_CUSTOM, VK_UP, true, true) == last);
    CHECK(ArrowKeyTarget(BOX_CUSTOM, VK_LEFT, true, true) == last);
  }
  SUBCASE("without caption boxes the grid wraps onto itself") {
    CHECK(ArrowKeyTarget(last, VK_RIGHT, false, false) == 0);
    CHECK(ArrowKeyTarget(36, VK_DOWN, false, false) == 0);
    CHECK(ArrowKeyTarget(0, VK_LEFT, false, false) == last);
    CHECK(ArrowKeyTarget(3, VK_UP, false, false) == last);
    CHECK(ArrowKeyTarget(last, VK_DOWN, true, false) == BOX_DEFAULT);
    CHECK(ArrowKeyTarget(2, VK_UP, false, true) == BOX_CUSTOM);
  }
  SUBCASE("right visits every box once per round, left the same in reverse") {
    int hot = BOX_DEFAULT, seen = 0;
    do {
      int next = ArrowKeyTarget(hot, VK_RIGHT, true, true);
      CHECK(ArrowKeyTarget(next, VK_LEFT, true, true) == hot);
      hot = next;
      ++seen;
    } while (hot != BOX_DEFAULT && seen < 100);
    CHECK(seen == COLOR_COUNT + 2);
  }
  CHECK(ArrowKeyTarget(12, VK_TAB, true, true) == 12);
}
