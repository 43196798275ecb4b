// bartask.dll: hooks the one thread of the shell process that owns the
// taskbar's button list and deletes the buttons of browser windows there,
// whenever the taskbar works with the list. The deletion must run in the
// shell process, on that thread: the button records hold its addresses.
// The library is mapped into the bar's process and the shell process; the
// values both need live in a section that every mapping shares.
#include "bartask.h"
#include "../BrowserClass.h"
#include <commctrl.h>

#define SHARED __attribute__((section(".shared"), shared))
static HWND taskList SHARED = nullptr;   // the taskbar's button list control
static LONG ntPlatform SHARED = 0;
static LONG toolbarMode SHARED = 0;      // else tab mode
static HHOOK taskbarHook SHARED = nullptr;
// Every process that maps us shares the handle: a refused second bar, or a
// shell that restarted, must not remove the hook of the bar that set it.
static DWORD hookOwner SHARED = 0;       // process id of the bar that set it
static LONG catchExplorer SHARED = 0;
static ClassList otherClasses SHARED = {};

static bool IsBrowserWindow(HWND window)
{
    return IsBrowserWindow(window, catchExplorer, otherClasses);
}

// The button's data: the shell's record for it, which starts with the
// window handle. The layout is the shell's own; another build may differ.
static DWORD_PTR ButtonData(int index)
{
    TBBUTTON button = {};
    return SendMessageA(taskList, TB_GETBUTTON, index, (LPARAM)&button) ? button.dwData : 0;
}

// Toolbar deletions are posted, so they land after the message that caused
// the purge; until the toolbar has handled them its indices are stale. A
// purge in between (the first purge followed at once by a trigger) would
// post the same indices again, and the second round would delete whatever
// buttons had moved into them: other programs' buttons. Posted messages are
// handled in order, so the last deletion posted is the last to land: while
// its button still sits at its index, the purge does nothing. Only this
// thread purges, so the note is the process's own.
static int lastDeletedIndex = -1;
static DWORD_PTR lastDeletedData;

static void PurgeToolbar()
{
    if (lastDeletedIndex >= 0 && ButtonData(lastDeletedIndex) == lastDeletedData)
        return;
    lastDeletedIndex = -1;
    // From the last index down, so a deletion never moves one still to visit.
    for (int i = (int)SendMessageA(taskList, TB_BUTTONCOUNT, 0, 0) - 1; i >= 0; --i) {
        DWORD_PTR data = ButtonData(i);
        const HWND* record = (const HWND*)data;
        if (!record || IsBadReadPtr(record, sizeof *record) || !IsBrowserWindow(*record))
            continue;
        PostMessageA(taskList, TB_DELETEBUTTON, i, 0);
        lastDeletedIndex = i;
        lastDeletedData = data;
    }
}

static void PurgeTabs()
{
    for (int i = (int)SendMessageA(taskList, TCM_GETITEMCOUNT, 0, 0) - 1; i >= 0; --i) {
        TCITEMA item;
        item.mask = TCIF_PARAM;
        item.lParam = 0;
        if (SendMessageA(taskList, TCM_GETITEMA, i, (LPARAM)&item) && IsBrowserWindow((HWND)item.lParam))
            SendMessageA(taskList, TCM_DELETEITEM, i, 0);
    }
}

// The tab purge itself sends TCM_GETITEMCOUNT, the trigger on NT, so the
// hook could start a purge inside the purge. Process-local: the purge only
// ever runs on the taskbar's thread.
static bool purging;

static void Purge()
{
    if (purging)
        return;
    purging = true;
    if (toolbarMode)
        PurgeToolbar();
    else
        PurgeTabs();
    purging = false;
}

// The messages the taskbar sends to its list whenever it works with it.
static bool IsTrigger(UINT message)
{
    if (toolbarMode)
        return message == TB_GETITEMRECT;
    return message == (ntPlatform ? TCM_GETITEMCOUNT : TCM_GETITEMRECT);
}

// The first message the hook sees in the shell purges whatever the taskbar
// holds already: not the library's loading, which runs under the loader's
// lock, where sending to a window is unsafe.
static bool purgedOnce;

static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Called before the list handles the message, so it sees itself purged.
    if (code >= 0 && (!purgedOnce || IsTrigger(((const CWPSTRUCT*)lParam)->message))) {
        purgedOnce = true;
        Purge();
    }
    return CallNextHookEx(taskbarHook, code, wParam, lParam);
}

static HWND FindTaskSwitcher()
{
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (!tray)
        return nullptr;
    HWND rebar = FindWindowExA(tray, nullptr, "RebarWindow32", nullptr);
    return FindWindowExA(rebar ? rebar : tray, nullptr, "MSTaskSwWClass", nullptr);
}

static int Fail(const char* text)
{
    MessageBoxA(nullptr, text, "bartask.dll : error !", MB_ICONEXCLAMATION);
    return 0;
}

// Only the process that set the hook removes it.
static int RemoveOwnHook()
{
    if (!taskbarHook || hookOwner != GetCurrentProcessId())
        return 0;
    int removed = UnhookWindowsHookEx(taskbarHook);
    taskbarHook = nullptr;
    hookOwner = 0;
    return removed;
}

extern "C" int SetTaskbarHook(int catchExplorerWindows)
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    ntPlatform = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    toolbarMode = ntPlatform && version.dwMajorVersion >= 5 && version.dwMinorVersion >= 1;
    catchExplorer = catchExplorerWindows;

    HWND taskSwitcher = FindTaskSwitcher();
    if (!taskSwitcher)
        return Fail("Can't locate the taskbar!");
    taskList = FindWindowExA(taskSwitcher, nullptr, toolbarMode ? "ToolbarWindow32" : "SysTabControl32", nullptr);
    if (!taskList)
        return Fail("Can't locate the taskbar!");

    // "TaskbarCreated" can come while the old taskbar lives: one hook only.
    RemoveOwnHook();
    DWORD taskbarThread = GetWindowThreadProcessId(taskList, nullptr);
    taskbarHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProc, GetModuleHandleA("bartask.dll"), taskbarThread);
    if (!taskbarHook)
        return Fail("Can't set taskbar hook!");
    hookOwner = GetCurrentProcessId();
    // A message through the hook maps us into the shell, and its first
    // purge runs at once; the result does not depend on it. Blocked: the
    // caller's own window takes no message meanwhile.
    DWORD_PTR ignored;
    SendMessageTimeoutA(taskList, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 10, &ignored);
    return 1;
}

extern "C" void SetTaskbarHookClasses(const char* classes)
{
    PackClassList(classes, otherClasses);
}

extern "C" int RemoveTaskbarHook(void)
{
    return RemoveOwnHook();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        RemoveOwnHook();
    return TRUE;
}
