// Resource, control and command ids of marbel.exe.
#ifndef MARBEL_RESOURCE_H
#define MARBEL_RESOURCE_H

// Icon and bitmaps.
#define IDI_MARBEL              117
#define IDB_CLOSE_GLYPH         139
// Interface button strips: three frames side by side (normal, pressed, hover).
// The grey set is tinted on 32-bit displays; the amber set shows as drawn.
#define IDB_CLOSE_GREY          100
#define IDB_HIDE_GREY           103
#define IDB_NEW_WINDOW_GREY     106
#define IDB_NEW_WINDOW_AMBER    140
#define IDB_CLOSE_AMBER         141
#define IDB_HIDE_AMBER          142

// Dialogs.
#define IDD_ABOUT               107

// Interface buttons of the bar.
#define IDC_CLOSE_RIGHT         218
#define IDC_CLOSE_LEFT          219
#define IDC_HIDE_RIGHT          230
#define IDC_HIDE_LEFT           231
#define IDC_NEW_WINDOW          245

// Commands of the bar menu.
#define ID_ABOUT                121
#define ID_CLOSE_ALL            123
#define ID_EXIT                 124
#define ID_HIDE_RESTORE         125
#define ID_NEW_BROWSER          126
#define ID_MINIMIZE_ALL         127
#define ID_PREFERENCES          131
// "IE windows list" items: ID_WINDOW_LIST_FIRST + index of the browser entry.
#define ID_WINDOW_LIST_FIRST    10000
#define ID_WINDOW_LIST_LAST     10199

#endif
