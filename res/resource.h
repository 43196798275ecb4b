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

// The preferences dialog and its pages.
#define IDD_PREFERENCES         115
#define IDD_PAGE_ADVANCED       110
#define IDD_PAGE_APPEARANCE     111
#define IDD_PAGE_BROWSERS       112
#define IDD_PAGE_GENERAL        113
#define IDD_PAGE_HOTKEYS        114
#define IDS_BAD_VALUE           136
#define IDS_PREFS_HINT          138
#define IDC_PAGE_TREE           256
#define IDC_PREFS_HINT          254
// Page controls; each id is also the id of its help string.
#define IDC_ACTIVE_COLOR        201
#define IDC_ACTIVE_TEXT_COLOR   202
#define IDC_BLEND_COLOR         203
#define IDC_ALIGN               204
#define IDC_ALLOW_MINIMIZE      205
#define IDC_AUTOHIDE            206
#define IDC_AUTORESTORE         207
#define IDC_BAR_HEIGHT          208
#define IDC_BAR_COLOR           209
#define IDC_CATCH_EXPLORER      216
#define IDC_CLOSE_ON_EXIT       218
#define IDC_FONT                226
#define IDC_FORCE_OVER_FULLSCREEN 227
#define IDC_HEIGHT              229
#define IDC_HIDE_BROWSERS       233
#define IDC_HOTKEY_HIDE         234
#define IDC_HOTKEY_NEW          235
#define IDC_BROWSE              236
#define IDC_COMMAND             237
#define IDC_LEFT                239
#define IDC_MAXIMIZE            241
#define IDC_DONT_CHANGE         246
#define IDC_SHOW_ON_TOP         247
#define IDC_OPEN_ON_START       248
#define IDC_SHOW_CLOSE_BUTTON   250
#define IDC_CLOSE_ONLY_ACTIVE   251
#define IDC_START_IN_TRAY       252
#define IDC_TEXT_COLOR          253
#define IDC_BUTTON_COLOR        254
#define IDC_TOP                 255
#define IDC_WIDTH               258
#define IDC_STICKING            259
#define IDC_OTHER_CLASSES       260
#define IDC_ALPHA               261
#define IDC_ENABLE_BLENDING     262
#define IDC_HOTKEY_NEXT         264

#endif
