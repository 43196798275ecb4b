#include "prefs/PageRules.h"
#include "app/Settings.h"
#include "prefs/ColorGrid.h"
#include "res/resource.h"
#include <climits>

int ParseLeadingDigits(const char* text) {
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

bool IsNumberAccepted(int controlId, int value, int left, int top, int screenWidth,
                      int screenHeight) {
  // The sums in 64 bits: a huge typed width must not wrap round into range.
  const long long v = value;
  switch (controlId) {
    case IDC_BAR_HEIGHT: return v >= 24;
    case IDC_LEFT: return v <= screenWidth;
    case IDC_TOP: return v <= screenHeight;
    case IDC_WIDTH: return v != 0 && v + left <= screenWidth;
    case IDC_HEIGHT: return v != 0 && v + top <= screenHeight;
  }
  return false;
}

COLORREF ResolveDefaultColor(int controlId, COLORREF chosen) {
  if (chosen != COLOR_DEFAULT) return chosen;
  switch (controlId) {
    case IDC_TEXT_COLOR:
    case IDC_ACTIVE_TEXT_COLOR: return 0;
    case IDC_ACTIVE_COLOR: return CREAM;
  }
  return GetSysColor(COLOR_BTNFACE);  // bar, buttons and blending colours
}

DWORD HotKeySettingFromControl(WORD controlValue) {
  return ConvertHotKeyModifiers(HIBYTE(controlValue)) * 65536 + LOBYTE(controlValue);
}

WORD HotKeyControlFromSetting(DWORD setting) {
  return MAKEWORD(LOBYTE(LOWORD(setting)), ConvertHotKeyModifiers(HIWORD(setting)));
}
