#!/usr/bin/env bash
# The test command. Prepares the machine (setup.sh), then runs three stages:
#   format   the sources as .clang-format says (clang-format --dry-run)
#   native   build with g++ and run the core tests           (build/native)
#   windows  cross-build with MinGW and run all tests under   (build/win)
#            Wine in Xvfb, in a fresh prefix, code page 936
#   fuzz     build with clang + sanitizers and run each       (build/fuzz)
#            libFuzzer target for a short while
# Every stage runs even when an earlier one failed; the exit status is non-zero
# when anything failed. Full logs stay in build/logs.
#
# Environment: ZD_BUILD_ROOT (default <repo>/build), ZD_JOBS (default 2),
# ZD_FUZZ_SECONDS (default 20), ZD_STAGES (default "format native windows fuzz").
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1
export ZD_BUILD_ROOT=${ZD_BUILD_ROOT:-$ROOT/build}
B=$ZD_BUILD_ROOT
JOBS=${ZD_JOBS:-2}
FUZZ_SECONDS=${ZD_FUZZ_SECONDS:-20}
STAGES=${ZD_STAGES:-format native windows fuzz}
LOGS=$B/logs
mkdir -p "$LOGS"

t_start=$(date +%s)
results=()
failed=0

say() { echo "== $*"; }
# Runs a command with its output in a log; on failure shows the log's end.
logged() { # log-name command...
  local log=$LOGS/$1.log
  shift
  "$@" >"$log" 2>&1 && return 0
  local rc=$?
  echo "---- last lines of $log ----"
  tail -n 80 "$log"
  echo "----"
  return $rc
}
record() { # stage, status, detail
  results+=("$(printf '%-8s %-5s %s' "$1" "$2" "$3")")
  [ "$2" = ok ] || failed=1
}
elapsed() { echo "$(($(date +%s) - $1)) s"; }

say "setup"
if ! bash scripts/setup.sh; then
  echo "setup failed" >&2
  exit 1
fi

# ---- format -------------------------------------------------------------------------
stage_format() {
  say "format: clang-format --dry-run over the C++ sources"
  local sources bad
  sources=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
  bad=$(echo "$sources" | xargs clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning.*/\1/p' | sort -u)
  if [ -n "$bad" ]; then
    echo "$bad"
    record format FAIL "$(echo "$bad" | wc -l) files differ from .clang-format (clang-format -i them)"
  else
    record format ok "$(echo "$sources" | wc -l) files"
  fi
}

# ---- native -------------------------------------------------------------------------
stage_native() {
  local t0 dir=$B/native
  t0=$(date +%s)
  say "native: configure and build ($dir)"
  if ! logged native-configure cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZD_BUILD_TESTS=ON; then
    record native FAIL "configure failed"
    return
  fi
  if ! logged native-build cmake --build "$dir" -j"$JOBS"; then
    record native FAIL "build failed"
    return
  fi
  say "native: ctest"
  (cd "$dir" && ctest --output-on-failure --timeout 300 -j"$JOBS") >"$LOGS/native-ctest.log" 2>&1
  local rc=$?
  local summary
  summary=$(grep -E 'tests passed|tests failed' "$LOGS/native-ctest.log" | tail -n1)
  if [ $rc -ne 0 ]; then
    sed -n '/The following tests FAILED/,$p' "$LOGS/native-ctest.log"
    grep -B2 -A40 -E '\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout' "$LOGS/native-ctest.log" | head -n 300
    record native FAIL "${summary:-ctest failed} ($(elapsed "$t0"))"
  else
    record native ok "$summary ($(elapsed "$t0"))"
  fi
}

# ---- windows (cross build, tests under Wine) -----------------------------------------
stage_windows() {
  local t0 dir=$B/win
  t0=$(date +%s)
  local jpeg_dir=$B/deps/libjpeg-turbo-mingw-i686/lib/cmake/libjpeg-turbo
  say "windows: configure and build ($dir)"
  if ! logged win-configure cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZD_BUILD_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -Dlibjpeg-turbo_DIR="$jpeg_dir" \
    -DZD_SODIUM_ROOT="$B/deps/libsodium-mingw-i686" -DZD_MINGW_DEPS="$B/deps"; then
    record windows FAIL "configure failed"
    return
  fi
  if ! logged win-build cmake --build "$dir" -j"$JOBS"; then
    record windows FAIL "build failed"
    return
  fi
  say "windows: ctest under Wine (Xvfb, LANG=zh_CN.UTF-8)"
  (
    # Wine takes its ANSI code page (936) from the locale; LC_ALL would override LANG.
    unset LC_ALL LC_CTYPE LANGUAGE
    export LANG=zh_CN.UTF-8
    cd "$dir" || exit 1
    # The prefix is made inside the X server so that Wine's desktop process
    # starts there, before the tests and apart from their output.
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
      source "$0/scripts/wine-env.sh" || exit 1
      trap zd_wine_cleanup EXIT
      ctest -V --timeout 300' "$ROOT"
  ) >"$LOGS/win-ctest.log" 2>&1
  local rc=$?
  local summary
  summary=$(grep -E 'tests passed|tests failed' "$LOGS/win-ctest.log" | tail -n1)
  # One ctest entry per suite: show GoogleTest's own counts too.
  grep -E '(Test +#[0-9]+:|\[  (PASSED|FAILED)  \] [0-9]+ test|\[ exit kill \])' "$LOGS/win-ctest.log" | sed 's/^/   /'
  if [ $rc -ne 0 ]; then
    grep -E '^\[  FAILED  \]|wine-env|ERROR' "$LOGS/win-ctest.log" | head -n 60
    sed -n '/The following tests FAILED/,$p' "$LOGS/win-ctest.log"
    echo "(full log: $LOGS/win-ctest.log)"
    record windows FAIL "${summary:-ctest under Wine failed} ($(elapsed "$t0"))"
  else
    record windows ok "$summary ($(elapsed "$t0"))"
  fi
}

# ---- fuzz --------------------------------------------------------------------------
# Seeds for a target: files in fuzz/corpus/<target>/ if present, and for the
# JPEG decoder a few small pictures of every kind it accepts.
make_seeds() { # target, dir
  local name=$1 dir=$2
  mkdir -p "$dir"
  if [ -d "$ROOT/fuzz/corpus/$name" ]; then cp -r "$ROOT/fuzz/corpus/$name/." "$dir/"; fi
  if [ "$name" = jpeg_decode_fuzz ] && [ ! -f "$dir/seed-rgb.jpg" ]; then
    convert -size 16x12 gradient:'#3060c0-#f0a030' "$dir/seed-rgb.jpg"
    convert -size 9x7 gradient: -colorspace Gray "$dir/seed-gray.jpg"
    convert -size 24x16 plasma:fractal -seed 7 -interlace JPEG "$dir/seed-progressive.jpg"
    convert -size 17x9 gradient:red-blue -sampling-factor 2x2 "$dir/seed-420.jpg"
  fi
}

stage_fuzz() {
  local t0 dir=$B/fuzz
  t0=$(date +%s)
  say "fuzz: configure and build ($dir)"
  if ! CC=clang CXX=clang++ logged fuzz-configure cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZD_FUZZ=ON -DZD_BUILD_TESTS=OFF -DZD_BUILD_BENCH=OFF; then
    record fuzz FAIL "configure failed"
    return
  fi
  if ! logged fuzz-build cmake --build "$dir" -j"$JOBS"; then
    record fuzz FAIL "build failed"
    return
  fi
  local targets=() t
  for t in "$ROOT"/fuzz/*_fuzz.cpp; do
    [ -f "$t" ] && targets+=("$(basename "$t" .cpp)")
  done
  if [ ${#targets[@]} -eq 0 ]; then
    record fuzz FAIL "no fuzz targets found"
    return
  fi
  local bad=0 runs=0
  mkdir -p "$dir/artifacts"
  for t in "${targets[@]}"; do
    local exe=$dir/fuzz/$t corpus=$dir/corpus/$t log=$LOGS/fuzz-$t.log
    if [ ! -x "$exe" ]; then
      echo "   $t: executable missing ($exe)"
      bad=1
      continue
    fi
    make_seeds "$t" "$corpus"
    say "fuzz: $t for ${FUZZ_SECONDS} s"
    "$exe" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$dir/artifacts/$t-" "$corpus" >"$log" 2>&1
    local rc=$?
    local done_line
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n1)
    echo "   $t: ${done_line:-no summary}, corpus $(find "$corpus" -type f | wc -l) files, exit $rc"
    if [ $rc -ne 0 ]; then
      bad=1
      tail -n 60 "$log"
    fi
    runs=$((runs + 1))
  done
  if [ $bad -ne 0 ]; then
    record fuzz FAIL "a target crashed or is missing; artifacts in $dir/artifacts ($(elapsed "$t0"))"
  else
    record fuzz ok "$runs targets x ${FUZZ_SECONDS} s without findings ($(elapsed "$t0"))"
  fi
}

for s in $STAGES; do
  case $s in
    format) stage_format ;;
    native) stage_native ;;
    windows) stage_windows ;;
    fuzz) stage_fuzz ;;
    *)
      echo "unknown stage $s" >&2
      exit 2
      ;;
  esac
done

echo
say "summary ($(elapsed "$t_start") in all; logs in $LOGS)"
for r in "${results[@]}"; do echo "   $r"; done
if [ $failed -ne 0 ]; then
  say "FAILED"
  exit 1
fi
say "all passed"
