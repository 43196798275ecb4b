#include "app/BarApp.h"
#include <commctrl.h>

static CBarApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Tooltips, trackbars, tree and hot key controls.
  InitCommonControls();
  return theApp.Main(instance);
}
