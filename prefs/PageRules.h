// The option pages' rules that need no window: which typed numbers are
// taken, what a colour picker's "Default" stands for, and the exchange of
// hot keys between the hot key control and the settings.
#pragma once
#include <windows.h>

// The value of a number field's text: its leading decimal digits, 0 when
// there are none; values beyond the int range stay at its maximum.
int ParseLeadingDigits(const char* text);

// Whether the number field `controlId` (208, 239, 255, 258, 229) takes
// `value`, given the stored "Left" and "Top" and the primary screen's size.
bool IsNumberAccepted(int controlId, int value, int left, int top, int screenWidth,
                      int screenHeight);

// The colour a picker's "Default" choice stands for on control `controlId`;
// any other colour comes back as it is.
COLORREF ResolveDefaultColor(int controlId, COLORREF chosen);

// A hot key control's value (HKM_GETHOTKEY: flags in the high byte, key in
// the low byte) as a setting (system modifiers * 65536 + key), and back.
DWORD HotKeySettingFromControl(WORD controlValue);
WORD HotKeyControlFromSetting(DWORD setting);
