#include "prefs/ColorGrid.h"

const NamedColor COLOR_TABLE[COLOR_COUNT] = {
    {RGB(0, 0, 0), "Black"},
    {RGB(165, 42, 0), "Brown"},
    {RGB(0, 64, 64), "Dark Olive Green"},
    {RGB(0, 85, 0), "Dark Green"},
    {RGB(0, 0, 94), "Dark Teal"},
    {RGB(0, 0, 139), "Dark blue"},
    {RGB(75, 0, 130), "Indigo"},
    {RGB(40, 40, 40), "Dark grey"},
    {RGB(139, 0, 0), "Dark red"},
    {RGB(255, 104, 32), "Orange"},
    {RGB(139, 139, 0), "Dark yellow"},
    {RGB(0, 147, 0), "Green"},
    {RGB(56, 142, 142), "Teal"},
    {RGB(0, 0, 255), "Blue"},
    {RGB(123, 123, 192), "Blue-grey"},
    {RGB(102, 102, 102), "Grey - 40"},
    {RGB(255, 0, 0), "Red"},
    {RGB(255, 173, 91), "Light orange"},
    {RGB(50, 205, 50), "Lime"},
    {RGB(60, 179, 113), "Sea green"},
    {RGB(127, 255, 212), "Aqua"},
    {RGB(125, 158, 192), "Light blue"},
    {RGB(128, 0, 128), "Violet"},
    {RGB(127, 127, 127), "Grey - 50"},
    {RGB(255, 192, 203), "Pink"},
    {RGB(255, 215, 0), "Gold"},
    {RGB(255, 255, 0), "Yellow"},
    {RGB(0, 255, 0), "Bright green"},
    {RGB(64, 224, 208), "Turquoise"},
    {RGB(192, 255, 255), "Skyblue"},
    {RGB(72, 0, 72), "Plum"},
    {RGB(192, 192, 192), "Light grey"},
    {RGB(255, 228, 225), "Rose"},
    {RGB(210, 180, 140), "Tan"},
    {RGB(255, 255, 224), "Light yellow"},
    {RGB(152, 251, 152), "Pale green "},
    {RGB(175, 238, 238), "Pale turquoise"},
    {RGB(104, 131, 139), "Pale blue"},
    {RGB(230, 230, 250), "Lavender"},
    {RGB(255, 255, 255), "White"},
};

RECT PopupLayout::CellRect(int index) const {
  int left = index % GRID_COLUMNS * boxSize + margin;
  int top = index / GRID_COLUMNS * boxSize + margin;
  if (hasDefault) top += defaultBox.bottom - defaultBox.top + margin;
  return {left, top, left + boxSize, top + boxSize};
}

int PopupLayout::HitTest(POINT client) const {
  if (hasCustom && PtInRect(&customBox, client)) return BOX_CUSTOM;
  if (hasDefault && PtInRect(&defaultBox, client)) return BOX_DEFAULT;
  RECT first = CellRect(0);
  int x = client.x - first.left, y = client.y - first.top;
  if (x < 0 || y < 0) return BOX_NONE;
  int column = x / boxSize, row = y / boxSize, index = row * GRID_COLUMNS + column;
  return column < GRID_COLUMNS && row < rows && index < COLOR_COUNT ? index : BOX_NONE;
}

PopupLayout LayoutPopup(POINT at, int margin, int boxSize, bool hasDefault, bool hasCustom,
                        SIZE text, SIZE screen, int buttonHeight) {
  PopupLayout l;
  const int m = margin;
  l.margin = m;
  l.boxSize = boxSize;
  l.hasDefault = hasDefault;
  l.hasCustom = hasCustom;
  l.rows = (COLOR_COUNT + GRID_COLUMNS - 1) / GRID_COLUMNS;
  const int textWidth = text.cx + 2 * m, textHeight = text.cy + 4 * m + 2;
  int width = GRID_COLUMNS * boxSize + 2 * m, height = l.rows * boxSize + 2 * m;
  if (hasDefault) {
    if (width < textWidth) width = textWidth;
    l.defaultBox = {m, m, width - m, textHeight + 2 * m};
    height += l.defaultBox.bottom - l.defaultBox.top + 2 * m;
  }
  if (hasCustom) {
    if (width < textWidth) width = textWidth;
    l.customBox = {m, height, width - m, height + m + textHeight};
    height += l.customBox.bottom - l.customBox.top + 2 * m;
  }
  RECT& w = l.window;
  w = {at.x, at.y, at.x + width, at.y + height};
  if (w.right > screen.cx) OffsetRect(&w, screen.cx - w.right, 0);
  if (w.left < 0) OffsetRect(&w, -w.left, 0);
  if (w.bottom > screen.cy) OffsetRect(&w, 0, -(height + buttonHeight));
  return l;
}

int ChosenIndex(COLORREF color, bool hasDefault, bool hasCustom) {
  if (color == COLOR_DEFAULT && hasDefault) return BOX_DEFAULT;
  for (int i = 0; i < COLOR_COUNT; ++i)
    if (COLOR_TABLE[i].color == color) return i;
  return hasCustom ? BOX_CUSTOM : BOX_NONE;
}

int ArrowKeyTarget(int hot, UINT key, bool hasDefault, bool hasCustom) {
  const int first = 0, last = COLOR_COUNT - 1;
  // "Default", "Other colors" and nothing hot count as their own row and column.
  const int row = hot < 0 ? hot : hot / GRID_COLUMNS;
  const int column = hot < 0 ? hot : hot % GRID_COLUMNS;
  auto cell = [](int r, int c) {
    int i = r * GRID_COLUMNS + c;
    return r >= 0 && c >= 0 && c < GRID_COLUMNS && i < COLOR_COUNT ? i : BOX_NONE;
  };
  const int defaultOrFirst = hasDefault ? BOX_DEFAULT : first;
  const int customOrLast = hasCustom ? BOX_CUSTOM : last;
  // Where a move leaves the grid forwards (past the end) and backwards.
  const int pastEnd = hasCustom ? BOX_CUSTOM : defaultOrFirst;
  const int beforeStart = hasDefault ? BOX_DEFAULT : customOrLast;
  int target;
  switch (key) {
    case VK_DOWN:
    case VK_RIGHT:
      if (hot == BOX_DEFAULT) return first;
      if (hot == BOX_CUSTOM) return defaultOrFirst;
      if (key == VK_DOWN)
        target = cell(row + 1, column);
      else
        target = column < GRID_COLUMNS - 1 ? cell(row, column + 1) : cell(row + 1, 0);
      return target != BOX_NONE ? target : pastEnd;
    case VK_UP:
    case VK_LEFT:
      if (hot == BOX_DEFAULT) return customOrLast;
      if (hot == BOX_CUSTOM) return last;
      if (key == VK_UP) return row > 0 ? cell(row - 1, column) : beforeStart;
      if (column > 0) return cell(row, column - 1);
      return row > 0 ? cell(row - 1, GRID_COLUMNS - 1) : beforeStart;
  }
  return hot;
}
