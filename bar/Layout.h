// The arithmetic behind the browser buttons and the titles they show: pure
// functions of their arguments, shared by painting and the tests.
#pragma once
#include <windows.h>
#include <string>

// Margins of the button area inside the bar's client rectangle: the ends
// are kept free for the interface buttons.
const int BUTTON_AREA_LEFT = 54;
const int BUTTON_AREA_RIGHT = 32;
const int BUTTON_AREA_TOP = 3;
const int BUTTON_AREA_BOTTOM = 3;
const int BUTTON_GAP = 2;
const int MAX_BUTTON_WIDTH = 160;
// The close glyph's distance from a button's top right corner.
const int GLYPH_OFFSET = 2;

// What the browser adds to every page title, removed from the buttons.
const char BROWSER_TITLE_SUFFIX[] = " - Microsoft Internet Explorer";

// A window text as a button shows it: the suffix removed wherever it
// stands, white space trimmed at both ends.
std::string DisplayTitle(std::string text);

RECT ButtonArea(const RECT& client);
// Width of each of count buttons in the area; 0 or less when they are too
// many to have any area at all.
int ButtonWidth(const RECT& area, size_t count);
// The index-th button from the left (index 0 at the area's left edge).
RECT ButtonRect(const RECT& area, int width, size_t index);
// Where the title is drawn inside a button.
RECT ButtonTextRect(const RECT& button);
// Top-left corner of the close glyph on a button.
POINT CloseGlyphOrigin(const RECT& button, int glyphWidth);
