// The bar's tray icon as the stand-in shell holds it, and key chords for
// the hot keys.
#pragma once
#include "rig.h"
#include <initializer_list>

namespace rig {

// One icon of the stand-in's current taskbar (standin_shell.h).
struct TrayIcon {
  HWND window = nullptr;  // the stand-in's window for it
  HWND owner = nullptr;
  UINT id = 0, flags = 0, callback = 0;
  std::string tip;
  int width = 0, height = 0;  // of the icon image
};
// The icons that owner has on the taskbar FindWindow finds now.
std::vector<TrayIcon> TrayIconsOf(HWND owner);
// Center of an icon's window in screen coordinates.
POINT CenterOf(const TrayIcon& icon);

// A hot key held by a window of the driver's own, given back however the
// case ends: a key left held would fail every later case of this file.
struct HeldHotKey {
  HeldHotKey(UINT modifiers, UINT vk)
      : holder(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)),
        held(RegisterHotKey(holder, 1, modifiers, vk) != FALSE) {}
  ~HeldHotKey() {
    if (held) UnregisterHotKey(holder, 1);
    DestroyWindow(holder);
  }
  HWND holder;
  bool held;
};

// The keys pressed in order and released in reverse, through SendInput.
void PressChord(std::initializer_list<WORD> keys);

}  // namespace rig
