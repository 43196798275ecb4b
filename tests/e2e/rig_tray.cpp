#include "rig_tray.h"
#include "tests/fixtures/standin_shell.h"

namespace rig {

std::vector<TrayIcon> TrayIconsOf(HWND owner) {
  std::vector<TrayIcon> icons;
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  for (HWND w = nullptr; tray && (w = FindWindowExA(tray, w, STANDIN_SHELL_ICON_CLASS, nullptr));) {
    TrayIcon icon;
    icon.window = w;
    icon.owner = (HWND)(LONG_PTR)GetWindowLongA(w, STANDIN_ICON_OWNER);
    if (icon.owner != owner) continue;
    icon.id = GetWindowLongA(w, STANDIN_ICON_ID);
    icon.flags = GetWindowLongA(w, STANDIN_ICON_FLAGS);
    icon.callback = GetWindowLongA(w, STANDIN_ICON_CALLBACK);
    DWORD size = GetWindowLongA(w, STANDIN_ICON_SIZE);
    icon.width = LOWORD(size);
    icon.height = HIWORD(size);
    icon.tip = TextOf(w);
    icons.push_back(icon);
  }
  return icons;
}

POINT CenterOf(const TrayIcon& icon) {
  RECT r = WindowRect(icon.window);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void PressChord(std::initializer_list<WORD> keys) {
  for (WORD vk : keys) KeyDown(vk);
  for (auto it = keys.end(); it != keys.begin();) KeyUp(*--it);
}

}  // namespace rig
