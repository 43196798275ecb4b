#include "app/BarApp.h"
#include "app/StartupMarks.h"
#include <commctrl.h>
#include <cstdlib>

static const bool loadedMarked = (MarkStartup(STARTUP_LOADED), true);
static CBarApp theApp;

// The runtime's default terminate handler prints a demangled type name and
// brings 46 KB of demangler with it; we use no exceptions, so plain abort.
namespace __gnu_cxx {
void __verbose_terminate_handler() { abort(); }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  MarkStartup(STARTUP_WINMAIN);
  // Tooltips, trackbars, tree and hot key controls.
  InitCommonControls();
  return theApp.Main(instance);
}
