// The tray icon record: the ANSI layout the running shell takes (88 bytes
// before shell32 5.0, 488 from then on), whatever size newer headers give
// the structure.
#include <doctest/doctest.h>
#include <cstddef>
#include <cstring>
#include "bar/BarWnd.h"

TEST_CASE("tray icon record: 488 bytes, id 0x8003, flags 7, WM_BAR_TRAYICON, the icon, tip \"Marbel!\"") {
  HWND owner = reinterpret_cast<HWND>(0x1234);
  HICON icon = reinterpret_cast<HICON>(0x5678);
  NOTIFYICONDATAA data = TrayIconRecord(owner, icon);
  CHECK(data.cbSize == 488);  // Wine's shell32 says 6.0
  // The fields the shell reads at those offsets.
  CHECK(offsetof(NOTIFYICONDATAA, szTip) == 24);
  CHECK(offsetof(NOTIFYICONDATAA, dwInfoFlags) + sizeof data.dwInfoFlags == 488);
  CHECK(data.hWnd == owner);
  CHECK(data.uID == 0x8003);
  CHECK(data.uFlags == 7);
  CHECK(data.uFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP));
  CHECK(data.uCallbackMessage == WM_USER + 1);
  CHECK(data.hIcon == icon);
  CHECK(std::strcmp(data.szTip, "Marbel!") == 0);
  // Nothing else asked of the shell: no state, no balloon.
  CHECK(data.dwState == 0);
  CHECK(data.dwStateMask == 0);
  CHECK(data.szInfo[0] == 0);
  CHECK(data.uTimeout == 0);
  CHECK(data.dwInfoFlags == 0);
}

TEST_CASE("tray icon record size: 88 bytes below shell 5.0, 488 from 5.0 on") {
  CHECK(TrayRecordSize(4) == 88);  // 95, 98, NT 4 without the desktop update
  CHECK(TrayRecordSize(4) == offsetof(NOTIFYICONDATAA, szTip) + 64);
  CHECK(TrayRecordSize(5) == 488);
  CHECK(TrayRecordSize(6) == 488);
}
