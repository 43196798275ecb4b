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

// The keys pressed in order and released in reverse, through SendInput.
void PressChord(std::initializer_list<WORD> keys);

}  // namespace rig
