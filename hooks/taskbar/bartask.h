// bartask.dll: hooks the thread that owns the Windows taskbar and deletes
// the taskbar buttons of browser windows ("IEFrame", and "CabinetWClass"
// when asked) whenever the taskbar works with its button list.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif
// 1 when the hook is installed; 0 after telling the user why it could not be.
int SetTaskbarHook(int catchExplorerWindows);
// Non-zero when a hook was removed; 0 when none was installed or removal failed.
int RemoveTaskbarHook(void);
#ifdef __cplusplus
}
#endif
