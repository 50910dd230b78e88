#!/usr/bin/env bash
# The run command: prepares the machine, cross-builds zapdock.exe and starts it
# under Wine in the project's own persistent prefix (build/wine-run), whose
# drive D: is the folder build/wine-run-data (the program keeps its
# configuration folder there, never on this machine's root).
#
# With $DISPLAY set the program runs on that display until it is closed.
# Without one it runs inside Xvfb (1024x768) in a fresh private prefix whose
# drive D: holds a small sample history (never anybody's own): after a few
# seconds the screen is saved to build/screenshot.png, the program's window
# to docs/zapdock.png (the README's picture), and the program is stopped.
#
# Environment: ZD_BUILD_ROOT (default <repo>/build), ZD_JOBS (default 2),
# ZD_SHOT_DELAY (seconds before the screenshot, default 8).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
export ZD_BUILD_ROOT=${ZD_BUILD_ROOT:-$ROOT/build}
B=$ZD_BUILD_ROOT
JOBS=${ZD_JOBS:-2}
DELAY=${ZD_SHOT_DELAY:-8}

bash scripts/setup.sh

echo "[run] building zapdock.exe ($B/win)"
mkdir -p "$B/logs"
cmake -S . -B "$B/win" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
  -Dlibjpeg-turbo_DIR="$B/deps/libjpeg-turbo-mingw-i686/lib/cmake/libjpeg-turbo" \
  -DZD_SODIUM_ROOT="$B/deps/libsodium-mingw-i686" \
  >"$B/logs/run-configure.log" 2>&1 || {
  tail -n 40 "$B/logs/run-configure.log"
  exit 1
}
cmake --build "$B/win" -j"$JOBS" --target zapdock >"$B/logs/run-build.log" 2>&1 || {
  tail -n 60 "$B/logs/run-build.log"
  echo "[run] build failed (log: $B/logs/run-build.log)" >&2
  exit 1
}
EXE=$B/win/zapdock.exe
[ -f "$EXE" ] || {
  echo "[run] $EXE was not built" >&2
  exit 1
}

# Chinese interface: Wine's ANSI code page follows the locale (936).
unset LC_ALL LC_CTYPE LANGUAGE
export LANG=zh_CN.UTF-8
export ZD_WINE_KEEP_PREFIX=$B/wine-run ZD_WINE_KEEP_DATA=$B/wine-run-data

if [ -n "${DISPLAY:-}" ]; then
  # shellcheck source=scripts/wine-env.sh
  source "$ROOT/scripts/wine-env.sh"
  trap zd_wine_cleanup EXIT
  echo "[run] starting $EXE on display $DISPLAY"
  wine "$EXE"
  exit $?
fi

SHOT=$B/screenshot.png
WINDOW_SHOT=$ROOT/docs/zapdock.png
rm -f "$SHOT"
echo "[run] no display: running in Xvfb 1024x768 on a sample history, screenshot after ${DELAY} s"
unset ZD_WINE_KEEP_PREFIX ZD_WINE_KEEP_DATA
export ROOT EXE SHOT WINDOW_SHOT DELAY
# The prefix is prepared inside the X server: Wine binds its desktop to the
# display that is current when the prefix's first programs start.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  source "$ROOT/scripts/wine-env.sh" || exit 1
  trap zd_wine_cleanup EXIT
  bash "$ROOT/scripts/sample_history.sh" "$ZD_WINE_DATA/MrxConfig" || exit 1
  wine "$EXE" &
  pid=$!
  sleep "$DELAY"
  alive=1
  kill -0 "$pid" 2>/dev/null || alive=0
  import -window root "$SHOT"
  # The largest top-level window named after the program is its main window.
  geometry=$(xwininfo -root -tree | grep -E "^ +0x[0-9a-f]+ \"[^\"]*Zapdock[^\"]*\":" |
    grep -oE "[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+" |
    awk -Fx "{ split(\$2, r, \"+\"); a = \$1 * r[1]; if (a > best) { best = a; g = \$0 } } END { print g }")
  wineserver -k >/dev/null 2>&1 || true
  wait "$pid" 2>/dev/null
  rc=$?
  if [ "$alive" -eq 0 ]; then
    echo "[run] zapdock.exe ended before the screenshot (exit $rc)" >&2
    exit 1
  fi
  if [ -z "$geometry" ]; then
    echo "[run] no window of zapdock.exe on the screen" >&2
    exit 1
  fi
  # No time stamps in the picture: an unchanged window gives an unchanged file.
  mkdir -p "$(dirname "$WINDOW_SHOT")"
  convert "$SHOT" -crop "$geometry" +repage -strip -define png:exclude-chunks=date,time \
    "$WINDOW_SHOT" || exit 1
  exit 0'
echo "[run] screenshot: $SHOT; the window: $WINDOW_SHOT"
