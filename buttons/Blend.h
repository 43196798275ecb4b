// Mixing a colour into the pixels a device context shows: the tint of the
// interface buttons on 32-bit displays.
#pragma once
#include <windows.h>
#include <cstddef>

// One colour channel: alpha parts of source to (255 - alpha) parts of
// dest, over 256 and truncated, so alpha 0 still darkens by up to one step.
inline BYTE BlendChannel(int alpha, BYTE source, BYTE dest) {
  return static_cast<BYTE>((alpha * source + (255 - alpha) * dest) >> 8);
}

// Mixes count 32-bit pixels (blue, green, red, unused) of dest into source,
// in place. A source pixel whose blue, green and red are the transparent
// colour takes dest's unchanged; the fourth byte of source is never touched.
// alpha is taken as 0..255.
void BlendPixels(BYTE* source, const BYTE* dest, size_t count, int alpha, COLORREF transparent);

// Mixes the source rectangle (scaled to width x height) into the
// destination rectangle, through two 32-bit bottom-up DIB sections.
// False when a copy failed; the destination is then as it was.
bool BlendRect(HDC dest, int destX, int destY, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, int alpha, COLORREF transparent);

// Tints width x height pixels at (0, 0) of dc with colour at weight alpha;
// black leaves them as they are.
void TintFrame(HDC dc, int width, int height, COLORREF colour, int alpha);
