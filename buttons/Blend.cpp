#include "buttons/Blend.h"

void BlendPixels(BYTE* source, const BYTE* dest, size_t count, int alpha, COLORREF transparent) {
  // An ini file edited by hand may hold any number; outside 0..255 the
  // weights would wrap the channels around.
  if (alpha < 0) alpha = 0;
  if (alpha > 255) alpha = 255;
  const BYTE key[3] = {GetBValue(transparent), GetGValue(transparent), GetRValue(transparent)};
  for (size_t i = 0; i < count; ++i, source += 4, dest += 4) {
    bool clear = source[0] == key[0] && source[1] == key[1] && source[2] == key[2];
    for (int c = 0; c < 3; ++c)
      source[c] = clear ? dest[c] : BlendChannel(alpha, source[c], dest[c]);
  }
}

bool BlendRect(HDC dest, int destX, int destY, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, int alpha, COLORREF transparent) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up rows, no gaps at 32 bits
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* sourceBits = nullptr;
  void* destBits = nullptr;
  HBITMAP sourceCopy = CreateDIBSection(source, &info, DIB_RGB_COLORS, &sourceBits, nullptr, 0);
  HBITMAP destCopy = CreateDIBSection(dest, &info, DIB_RGB_COLORS, &destBits, nullptr, 0);

  bool ok = sourceCopy && destCopy;
  if (ok) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, sourceCopy);
    ok = StretchBlt(memory, 0, 0, width, height, source, sourceX, sourceY, sourceWidth,
                    sourceHeight, SRCCOPY);
    if (ok) {
      SelectObject(memory, destCopy);
      ok = StretchBlt(memory, 0, 0, width, height, dest, destX, destY, width, height, SRCCOPY);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  if (ok) {
    GdiFlush();  // the copies must be in the sections before we read them
    BlendPixels(static_cast<BYTE*>(sourceBits), static_cast<const BYTE*>(destBits),
                static_cast<size_t>(width) * height, alpha, transparent);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, sourceCopy);
    ok = BitBlt(dest, destX, destY, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  if (sourceCopy) DeleteObject(sourceCopy);
  if (destCopy) DeleteObject(destCopy);
  return ok;
}

void TintFrame(HDC dc, int width, int height, COLORREF colour, int alpha) {
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP fill = CreateBitmap(width, height, 1, 32, nullptr);
  HGDIOBJ previous = SelectObject(memory, fill);
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  // Black is the transparent colour: a black tint changes nothing.
  BlendRect(dc, 0, 0, width, height, memory, 0, 0, width, height, alpha, RGB(0, 0, 0));
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(fill);
}
