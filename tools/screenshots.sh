#!/usr/bin/env bash
# make screenshots: runs the screenshot driver (tests/screenshots) on a test
# desktop of its own and turns its captures into the PNG pictures of
# docs/screenshots. Usage: tools/screenshots.sh [BUILD_DIR]
# The Wine prefix is $WINEPREFIX when set, else one under the build dir.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
driver=$build/tests/screenshot_driver.exe
if [ ! -f "$driver" ] || [ ! -f "$build/bin/marbel.exe" ]; then
  echo "screenshots: $build lacks the driver or marbel.exe; build first" >&2
  exit 1
fi
out=$root/docs/screenshots
captures=$build/screenshots
rm -rf "$captures"
mkdir -p "$captures" "$out"

export WINEPREFIX=${WINEPREFIX:-$build/wine-shots}

# Wine's own fonts (Marlett for the caption buttons, MS Sans Serif, Tahoma)
# come in Debian's fonts-wine, which the tests do without. Unpacked for this
# prefix alone, so the pictures show the dialogs as Windows draws them
# while the test prefixes keep the fonts they were written against.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ ! -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  unpacked=$build/fonts-wine/usr/share/wine/fonts
  if [ ! -f "$unpacked/marlett.ttf" ]; then
    rm -rf "$build/fonts-wine" && mkdir -p "$build/fonts-wine"
    (cd "$build/fonts-wine" && apt-get download -q fonts-wine >/dev/null 2>&1 &&
      dpkg-deb -x fonts-wine_*.deb .) ||
      echo "screenshots: no fonts-wine to unpack; Wine draws with stand-in fonts" >&2
  fi
  mkdir -p "$fonts"
  cp "$unpacked"/* "$fonts"/ 2>/dev/null || true
fi

# Always a fresh Xvfb: nothing else may show on the pictures.
status=0
RIG_DISPLAY= RIG_DEPTH=24 MARBEL_SHOTS="$captures" MARBEL_BIN="$build/bin" \
  MARBEL_TESTS="$build/tests" "$root/tools/wine-rig.sh" wine "$driver" || status=$?

# No time stamps or other metadata: the same scene gives the same file.
for bmp in "$captures"/*.bmp; do
  [ -f "$bmp" ] || continue
  png=$out/$(basename "${bmp%.bmp}").png
  convert "$bmp" -strip -define png:exclude-chunks=date,time "$png"
  echo "screenshots: $png ($(identify -format '%wx%h' "$png"))"
done
[ "$status" -eq 0 ] || echo "screenshots: the driver failed; pictures it did not take are unchanged" >&2
exit "$status"
