// barshell.dll: a global shell hook that reports top-level windows being
// created, destroyed, activated or redrawn to the bar window.
#pragma once
#include <windows.h>

// Sent to the bar window: wParam the top-level window, lParam the shell
// hook code (HSHELL_WINDOWCREATED 1, HSHELL_WINDOWDESTROYED 2,
// HSHELL_WINDOWACTIVATED 4, HSHELL_REDRAW 6).
#define WM_BAR_SHELLEVENT (WM_USER + 3)

#ifdef __cplusplus
extern "C" {
#endif
// 1 when the hook is installed; 0 after telling the user it could not be.
int SetShellHook(HWND barWindow);
// 0 when no hook is installed, otherwise the result of removing it.
int RemoveShellHook(void);
#ifdef __cplusplus
}
#endif
