#include "bar/Layout.h"

std::string DisplayTitle(std::string text) {
  const size_t suffixLength = sizeof BROWSER_TITLE_SUFFIX - 1;
  // One pass from the left: halves that join into the suffix again stay.
  for (size_t at = 0; (at = text.find(BROWSER_TITLE_SUFFIX, at)) != std::string::npos;)
    text.erase(at, suffixLength);
  const char blanks[] = " \t\r\n\v\f";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

RECT ButtonArea(const RECT& client) {
  return {client.left + BUTTON_AREA_LEFT, client.top + BUTTON_AREA_TOP,
          client.right - BUTTON_AREA_RIGHT, client.bottom - BUTTON_AREA_BOTTOM};
}

int ButtonWidth(const RECT& area, size_t count) {
  if (count == 0) return 0;
  // Signed division, truncating toward zero: a narrow area gives 0 or less.
  int width = (area.right - area.left) / static_cast<int>(count) - BUTTON_GAP;
  return width > MAX_BUTTON_WIDTH ? MAX_BUTTON_WIDTH : width;
}

RECT ButtonRect(const RECT& area, int width, size_t index) {
  int left = area.left + static_cast<int>(index) * (width + BUTTON_GAP);
  return {left, area.top, left + width, area.bottom};
}

RECT ButtonTextRect(const RECT& button) {
  return {button.left + 4, button.top, button.right - 3, button.bottom};
}

POINT CloseGlyphOrigin(const RECT& button, int glyphWidth) {
  return {button.right - glyphWidth - GLYPH_OFFSET, button.top + GLYPH_OFFSET};
}
