// The tint of the interface buttons: the per-channel mix, the pixel walk
// with its transparent colour, and the routine on real device contexts.
#include <doctest/doctest.h>
#include "buttons/Blend.h"
#include <vector>

namespace {

// A 32-bit top-down view of a bottom-up DIB section selected into a memory DC.
struct Canvas {
  Canvas(int width, int height) : width(width), height(height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  DWORD& At(int x, int y) {  // 0x00RRGGBB; y from the top
    GdiFlush();
    return bits[(height - 1 - y) * width + x];
  }
  int width, height;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  DWORD* bits = nullptr;
};

DWORD Rgb(int r, int g, int b) { return (r << 16) | (g << 8) | b; }
int Red(DWORD p) { return (p >> 16) & 0xFF; }
int Green(DWORD p) { return (p >> 8) & 0xFF; }
int Blue(DWORD p) { return p & 0xFF; }

// A picture in which every pixel differs, so a flipped or shifted copy shows.
void Paint(Canvas& c) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) c.At(x, y) = Rgb(40 + 10 * x, 100 + 20 * y, 7 * x + 3 * y);
}

}  // namespace

TEST_CASE("blend channel: (alpha x s + (255 - alpha) x d) >> 8") {
  SUBCASE("alpha 0 keeps the image, one step darker at most") {
    CHECK(BlendChannel(0, 200, 255) == 254);
    CHECK(BlendChannel(0, 200, 1) == 0);
    CHECK(BlendChannel(0, 0, 0) == 0);
    CHECK(BlendChannel(0, 255, 128) == 127);
    for (int d = 0; d < 256; ++d) {
      int r = BlendChannel(0, 77, static_cast<BYTE>(d));
      CHECK((r == d || r == d - 1));
    }
  }
  SUBCASE("alpha 255 gives the colour, 255 becoming 254") {
    CHECK(BlendChannel(255, 255, 0) == 254);
    CHECK(BlendChannel(255, 255, 255) == 254);
    CHECK(BlendChannel(255, 100, 37) == 99);
    CHECK(BlendChannel(255, 0, 255) == 0);
  }
  SUBCASE("alpha 128: about the mean, truncated") {
    CHECK(BlendChannel(128, 200, 100) == 149);  // 38300 / 256 = 149.6
    CHECK(BlendChannel(128, 255, 0) == 127);
    CHECK(BlendChannel(128, 0, 255) == 126);
    CHECK(BlendChannel(128, 255, 255) == 254);
  }
}

TEST_CASE("blend pixels: transparent colour, channel order, fourth byte") {
  SUBCASE("the mix per channel, the fourth byte of the source untouched") {
    BYTE source[8] = {10, 20, 30, 0xAB, 255, 255, 255, 0x01};
    const BYTE dest[8] = {200, 100, 50, 0x77, 0, 0, 0, 0x99};
    BlendPixels(source, dest, 2, 128, RGB(0, 0, 0));
    const BYTE want[8] = {BlendChannel(128, 10, 200), BlendChannel(128, 20, 100),
                          BlendChannel(128, 30, 50), 0xAB, 127, 127, 127, 0x01};
    for (int i = 0; i < 8; ++i) CHECK(source[i] == want[i]);
  }
  SUBCASE("black as the transparent colour: black source pixels take dest exactly") {
    BYTE source[8] = {0, 0, 0, 0x55, 0, 0, 1, 0x66};
    const BYTE dest[8] = {255, 128, 3, 0, 255, 128, 3, 0};
    BlendPixels(source, dest, 2, 255, RGB(0, 0, 0));
    const BYTE want[8] = {255, 128, 3, 0x55, 0, 0, BlendChannel(255, 1, 3), 0x66};
    for (int i = 0; i < 8; ++i) CHECK(source[i] == want[i]);
  }
  SUBCASE("the transparent colour reference is matched as blue, green, red bytes") {
    BYTE source[8] = {3, 2, 1, 0, 1, 2, 3, 0};  // RGB(1, 2, 3), then RGB(3, 2, 1)
    const BYTE dest[8] = {90, 90, 90, 0, 90, 90, 90, 0};
    BlendPixels(source, dest, 2, 0, RGB(1, 2, 3));
    CHECK(source[0] == 90);  // transparent: dest as it is
    CHECK(source[4] == BlendChannel(0, 1, 90));  // mixed: one step darker
    CHECK(source[4] == 89);
  }
  SUBCASE("alpha outside 0..255 counts as the nearest end") {
    BYTE high[4] = {100, 100, 100, 0}, low[4] = {100, 100, 100, 0};
    const BYTE dest[4] = {20, 20, 20, 0};
    BlendPixels(high, dest, 1, 300, RGB(0, 0, 0));
    BlendPixels(low, dest, 1, -5, RGB(0, 0, 0));
    CHECK(high[0] == BlendChannel(255, 100, 20));
    CHECK(low[0] == BlendChannel(0, 100, 20));
  }
}

TEST_CASE("blend routine and tint on device contexts") {
  SUBCASE("the source mixed into a rectangle of the destination, rows in place") {
    Canvas dest(8, 6), source(3, 2);
    Paint(dest);
    std::vector<DWORD> before(dest.bits, dest.bits + 48);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) source.At(x, y) = Rgb(250, 10 * x, 60 * y);
    REQUIRE(BlendRect(dest.dc, 4, 3, 3, 2, source.dc, 0, 0, 3, 2, 128, RGB(0, 0, 0)));
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        DWORD was = before[(5 - y) * 8 + x];
        DWORD now = dest.At(x, y);
        bool inside = x >= 4 && x < 7 && y >= 3 && y < 5;
        if (!inside) {
          CHECK(now == was);
          continue;
        }
        DWORD s = source.At(x - 4, y - 3);  // never black: red is 250
        CAPTURE(x);
        CAPTURE(y);
        CHECK(Red(now) == BlendChannel(128, Red(s), Red(was)));
        CHECK(Green(now) == BlendChannel(128, Green(s), Green(was)));
        CHECK(Blue(now) == BlendChannel(128, Blue(s), Blue(was)));
      }
  }
  SUBCASE("a scaled source: one pixel stretched over the rectangle") {
    Canvas dest(4, 4), source(2, 2);
    Paint(dest);
    std::vector<DWORD> before(dest.bits, dest.bits + 16);
    source.At(1, 1) = Rgb(255, 0, 255);
    REQUIRE(BlendRect(dest.dc, 0, 0, 4, 4, source.dc, 1, 1, 1, 1, 255, RGB(0, 0, 0)));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        DWORD was = before[(3 - y) * 4 + x];
        CHECK(dest.At(x, y) == Rgb(254, BlendChannel(255, 0, Green(was)), 254));
      }
  }
  SUBCASE("tint: alpha 255 gives a solid block of almost the colour") {
    Canvas frame(12, 12);
    Paint(frame);
    TintFrame(frame.dc, 12, 12, RGB(0, 128, 255), 255);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) CHECK(frame.At(x, y) == Rgb(0, 127, 254));
  }
  SUBCASE("tint: alpha 0 leaves each channel at most one step darker") {
    Canvas frame(12, 12);
    Paint(frame);
    std::vector<DWORD> before(frame.bits, frame.bits + 144);
    TintFrame(frame.dc, 12, 12, RGB(255, 255, 255), 0);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        DWORD was = before[(11 - y) * 12 + x];
        DWORD now = frame.At(x, y);
        CHECK(Red(now) == Red(was) * 255 / 256);
        CHECK(Green(now) == Green(was) * 255 / 256);
        CHECK(Blue(now) == Blue(was) * 255 / 256);
      }
  }
  SUBCASE("tint: pure black leaves the frame exactly as drawn, and only the frame") {
    Canvas frame(16, 16);
    Paint(frame);
    std::vector<DWORD> before(frame.bits, frame.bits + 256);
    TintFrame(frame.dc, 12, 12, RGB(0, 0, 0), 255);
    GdiFlush();
    CHECK(std::vector<DWORD>(frame.bits, frame.bits + 256) == before);
    TintFrame(frame.dc, 12, 12, RGB(9, 9, 9), 255);
    int tinted = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        bool inside = x < 12 && y < 12;
        CHECK((frame.At(x, y) == Rgb(8, 8, 8)) == inside);
        tinted += inside;
      }
    CHECK(tinted == 144);
  }
}
