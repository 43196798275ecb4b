// The preferences dialog driven from outside: opened by a double click on
// the bar, pages chosen on its tree with the keyboard, controls clicked and
// typed into, and their state read across the process boundary.
#pragma once
#include "rig_input.h"

namespace rig {

const char PREFS_TITLE[] = "Marbel! Preferences";
// Tree order of the pages.
enum PrefsPage { PAGE_GENERAL, PAGE_APPEARANCE, PAGE_BROWSERS, PAGE_HOTKEYS, PAGE_ADVANCED };

// A double click on an empty part of the bar; the dialog once it has a page.
HWND OpenPrefs(HWND bar);
// The bar menu's "Preferences", the menu opened by a right click at `at`.
HWND OpenPrefsByMenu(POINT at);
// The page shown now: the dialog's visible child dialog.
HWND CurrentPage(HWND dialog);
// Position of the tree's selected item among its root items; -1 for none.
int SelectedTreeIndex(HWND dialog);
// Chooses a page with the keyboard on the tree (which has the focus after
// every page change); the new page, nullptr when the tree did not get there.
HWND ChoosePage(HWND dialog, PrefsPage page);
// A click on the dialog's "Close" button; true once the dialog is gone.
bool ClosePrefs(HWND dialog);
// A click on a colour button of a page; its popup once it shows.
HWND OpenColorPopup(HWND colorButton);

// Waits until control has the keyboard focus of its thread.
bool WaitForFocus(HWND control, DWORD timeoutMs = 3000);
void ClickControl(HWND control);
// ClickUntil on the middle of control (false once control is gone and
// done() does not hold).
bool ClickControlUntil(HWND control, const std::function<bool()>& done);
// Clicks an edit, replaces its whole text by typing digits, leaves the
// focus in it.
void TypeNumber(HWND edit, const std::string& digits);
bool IsChecked(HWND page, int id);
bool IsEnabled(HWND page, int id);
std::string EditText(HWND edit);  // WM_GETTEXT, marshalled by the system

}  // namespace rig
