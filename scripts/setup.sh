#!/usr/bin/env bash
# Prepares a Debian 12 machine (run as root; as another user it only checks) for building and testing Zapdock:
# system packages, the zh_CN.UTF-8 locale (Wine then uses code page 936), and
# MinGW builds of libjpeg-turbo, libsodium, LZ4, SQLite, simdjson and PCRE2
# cached in the build tree. Safe to run again: every step checks first and does
# nothing when its result is already there.
#
# Environment: ZD_BUILD_ROOT (default <repo>/build) holds the cached dependencies.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${ZD_BUILD_ROOT:-$ROOT/build}
export DEBIAN_FRONTEND=noninteractive

log() { echo "[setup] $*"; }
die() {
  echo "[setup] ERROR: $*" >&2
  exit 1
}

command -v apt-get >/dev/null || die "apt-get not found: this script targets Debian 12"
if [ "$(id -u)" -ne 0 ]; then
  as_root=0
else
  as_root=1
fi

apt_updated=0
apt_update() {
  if [ "$apt_updated" -eq 0 ]; then
    log "apt-get update"
    apt-get update -qq
    apt_updated=1
  fi
}

# --- packages -----------------------------------------------------------------
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  [ "$as_root" -eq 1 ] || die "the i386 architecture is missing; run this script as root"
  log "adding the i386 architecture (32-bit Wine)"
  dpkg --add-architecture i386
fi

PACKAGES=(
  # native build and tests
  cmake make g++ googletest libgtest-dev libbenchmark-dev libjpeg62-turbo-dev
  # libFuzzer lives in clang's runtime package; the sources' format is checked
  clang libclang-rt-dev clang-format
  # cross build for 32-bit Windows
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  # Wine in a virtual X server. Its fonts and the X extension libraries are only
  # "recommended" by Wine, but windows draw their text and frames with them;
  # x11-utils' xwininfo finds the window for the README's picture.
  wine wine32:i386 wine64 fonts-wine xvfb xauth x11-apps x11-utils
  libxrender1:i386 libxcursor1:i386 libxi6:i386 libxrandr2:i386 libxinerama1:i386
  libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386
  # pictures of the resources, screenshots, Chinese text
  imagemagick fonts-wqy-microhei locales
  # apt-get source for libjpeg-turbo and libsodium; libsodium's Debian source
  # has no generated configure script
  dpkg-dev autoconf automake libtool
  # update signatures: libsodium natively, the signing tool (PyNaCl), the
  # installer compiler, and Debian's python3 for the tests' HTTP server
  libsodium-dev python3 python3-nacl nsis
  # the Unihan database: the search's pinyin readings and simplified forms
  unicode-data
  # browsers' own files: session files (LZ4, JSON) and history databases
  # (SQLite) natively; tclsh makes SQLite's single-file source for MinGW
  liblz4-dev libsimdjson-dev libsqlite3-dev tcl
  # the privacy rules' regular expressions
  libpcre2-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  [ "$as_root" -eq 1 ] || die "missing packages (${missing[*]}); run this script as root"
  log "installing: ${missing[*]}"
  apt_update
  if ! apt-get install -y -q --no-install-recommends "${missing[@]}" >/tmp/zd-setup-apt.log 2>&1; then
    tail -n 30 /tmp/zd-setup-apt.log
    die "apt-get install failed (log: /tmp/zd-setup-apt.log)"
  fi
else
  log "packages: all present"
fi

# --- locale ---------------------------------------------------------------------
# Under LANG=zh_CN.UTF-8 Wine's ANSI code page becomes 936 and 宋体 maps to the
# installed CJK font.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf8'; then
  [ "$as_root" -eq 1 ] || die "the zh_CN.UTF-8 locale is missing; run this script as root"
  log "generating the zh_CN.UTF-8 locale"
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
else
  log "locale zh_CN.UTF-8: present"
fi

# --- Debian source packages ---------------------------------------------------------
# Adds deb-src entries that mirror the machine's own Debian binary sources,
# unless `apt-get source $1` already works.
ensure_deb_src() { # package
  SRC_LIST=/etc/apt/sources.list.d/zapdock-deb-src.sources
  if ! apt-get source --print-uris "$1" >/dev/null 2>&1; then
    [ "$as_root" -eq 1 ] || die "no deb-src entry for $1; run this script as root"
    # Mirror the machine's own Debian binary sources as source entries.
    : >"$SRC_LIST.tmp"
    for f in /etc/apt/sources.list.d/*.sources; do
      if [ ! -f "$f" ] || [ "$f" = "$SRC_LIST" ]; then continue; fi
      # deb822 stanzas: keep those of Debian archives, switch their type.
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           /URIs:[^\n]*debian/ && /Types:[^\n]*deb/ {
             gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$SRC_LIST.tmp"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      # one-line format: "deb [opts] uri suite comps" -> a deb-src stanza
      awk '$1 == "deb" && /debian/ {
             i = 2; signed = "";
             if ($2 ~ /^\[/) {
               while (i <= NF) { if ($i ~ /signed-by=/) { s = $i; sub(/.*signed-by=/, "", s);
                                   sub(/\]$/, "", s); signed = s }
                                 if ($i ~ /\]$/) { i++; break } i++ } }
             printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $i, $(i + 1);
             for (j = i + 2; j <= NF; j++) printf " %s", $j; printf "\n";
             if (signed != "") printf "Signed-By: %s\n", signed; printf "\n" }' "$f" >>"$SRC_LIST.tmp"
    done
    [ -s "$SRC_LIST.tmp" ] || die "no Debian sources found to mirror as deb-src"
    mv "$SRC_LIST.tmp" "$SRC_LIST"
    apt_updated=0
    apt_update
  fi
}

# The C libraries carry no unwind tables (nothing of ours throws through them):
# a PE object's one table names every function in it, and the linker would
# keep all of them, used or not.
C_DEP_FLAGS="-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables"

# --- libjpeg-turbo for MinGW ------------------------------------------------------
# Debian ships no Windows build of it; its source package cross-builds cleanly.
JPEG_PREFIX=$BUILD_ROOT/deps/libjpeg-turbo-mingw-i686
# The stamp names the build's flags: a change of them builds again.
JPEG_STAMP=$JPEG_PREFIX/.complete-sections
if [ -f "$JPEG_STAMP" ] && [ "$(cat "$JPEG_STAMP")" = "$C_DEP_FLAGS" ] &&
  [ -f "$JPEG_PREFIX/lib/cmake/libjpeg-turbo/libjpeg-turboConfig.cmake" ]; then
  log "libjpeg-turbo (MinGW): cached in $JPEG_PREFIX"
else
  log "building libjpeg-turbo for MinGW into $JPEG_PREFIX"
  rm -rf "$JPEG_PREFIX"
  ensure_deb_src libjpeg-turbo

  WORK=$BUILD_ROOT/deps/src
  rm -rf "$WORK"
  mkdir -p "$WORK"
  (cd "$WORK" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) ||
    (cd "$WORK" && apt-get source libjpeg-turbo) || die "apt-get source libjpeg-turbo failed"
  SRC_DIR=$(find "$WORK" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
  [ -n "$SRC_DIR" ] || die "libjpeg-turbo sources not unpacked"

  simd=OFF
  if command -v nasm >/dev/null || command -v yasm >/dev/null; then simd=ON; fi
  cmake -S "$SRC_DIR" -B "$WORK/build" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    "-DCMAKE_C_FLAGS=$C_DEP_FLAGS" \
    -DWITH_SIMD=$simd -DREQUIRE_SIMD=$simd >"$WORK/configure.log" 2>&1 ||
    {
      tail -n 40 "$WORK/configure.log"
      die "libjpeg-turbo configure failed"
    }
  cmake --build "$WORK/build" -j2 >"$WORK/build.log" 2>&1 ||
    {
      tail -n 40 "$WORK/build.log"
      die "libjpeg-turbo build failed"
    }
  cmake --install "$WORK/build" >/dev/null
  [ -f "$JPEG_PREFIX/lib/cmake/libjpeg-turbo/libjpeg-turboConfig.cmake" ] ||
    die "libjpeg-turbo install lacks its CMake package"
  printf '%s' "$C_DEP_FLAGS" >"$JPEG_STAMP"
  rm -rf "$WORK"
  log "libjpeg-turbo (MinGW, SIMD $simd) installed"
fi

# --- libsodium for MinGW -----------------------------------------------------------
# Checks the signature of downloaded updates (Ed25519) and their SHA-256. Built
# from Debian's source package; its configure script is generated here.
# Its minimal build, for size: one signature checked per update.
SODIUM_PREFIX=$BUILD_ROOT/deps/libsodium-mingw-i686
SODIUM_CFLAGS="-Os -ffunction-sections -fdata-sections"
# The stamp holds the flags: a change of them builds again.
SODIUM_STAMP=$SODIUM_PREFIX/.complete-sections
if [ -f "$SODIUM_STAMP" ] && [ "$(cat "$SODIUM_STAMP")" = "$SODIUM_CFLAGS" ] &&
  [ -f "$SODIUM_PREFIX/lib/libsodium.a" ]; then
  log "libsodium (MinGW): cached in $SODIUM_PREFIX"
else
  log "building libsodium for MinGW into $SODIUM_PREFIX"
  rm -rf "$SODIUM_PREFIX"
  ensure_deb_src libsodium
  WORK=$BUILD_ROOT/deps/src-sodium
  rm -rf "$WORK"
  mkdir -p "$WORK"
  (cd "$WORK" && apt-get source -qq libsodium >/dev/null 2>&1) ||
    (cd "$WORK" && apt-get source libsodium) || die "apt-get source libsodium failed"
  SRC_DIR=$(find "$WORK" -mindepth 1 -maxdepth 1 -type d -name 'libsodium-*' | head -n1)
  [ -n "$SRC_DIR" ] || die "libsodium sources not unpacked"
  # autoreconf, not the package's autogen.sh, which would fetch config.sub.
  (cd "$SRC_DIR" && autoreconf -if) >"$WORK/autoreconf.log" 2>&1 ||
    {
      tail -n 40 "$WORK/autoreconf.log"
      die "libsodium autoreconf failed"
    }
  (cd "$SRC_DIR" && ./configure --host=i686-w64-mingw32 --prefix="$SODIUM_PREFIX" \
    --disable-shared --enable-static --enable-minimal \
    CC=i686-w64-mingw32-gcc-posix CFLAGS="$SODIUM_CFLAGS") \
    >"$WORK/configure.log" 2>&1 ||
    {
      tail -n 40 "$WORK/configure.log"
      die "libsodium configure failed"
    }
  (cd "$SRC_DIR" && make -j2 && make install) >"$WORK/build.log" 2>&1 ||
    {
      tail -n 40 "$WORK/build.log"
      die "libsodium build failed"
    }
  [ -f "$SODIUM_PREFIX/lib/libsodium.a" ] || die "libsodium install lacks libsodium.a"
  echo "$SODIUM_CFLAGS" >"$SODIUM_STAMP"
  rm -rf "$WORK"
  log "libsodium (MinGW) installed"
fi

# --- LZ4, SQLite and simdjson for MinGW ----------------------------------------------
# The browsers' session files are LZ4 blocks of JSON, their histories SQLite
# databases. Debian has none of the three for Windows; each is built from its
# source package into its own prefix, marked complete by a stamp.
fetch_source() { # package work-dir -> prints the unpacked source folder
  ensure_deb_src "$1" >&2
  rm -rf "$2"
  mkdir -p "$2"
  # A mirror may lack the files of the newest upload (a security update, say):
  # then the newest version whose files it has.
  local v got=0
  for v in "" $(apt-cache showsrc "$1" | awk '/^Version:/ { print $2 }' | sort -rV); do
    if (cd "$2" && apt-get source -qq "$1${v:+=$v}" >/dev/null 2>&1); then
      got=1
      break
    fi
  done
  [ "$got" -eq 1 ] || (cd "$2" && apt-get source "$1" >&2) || die "apt-get source $1 failed"
  local dir
  dir=$(find "$2" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | head -n1)
  [ -n "$dir" ] || die "$1 sources not unpacked"
  echo "$dir"
}
run_logged() { # log command...
  local log=$1
  shift
  "$@" >>"$log" 2>&1 || {
    tail -n 40 "$log"
    die "failed: $* (log: $log)"
  }
}

# A library that builds with its own CMake: static, for MinGW, with function
# and data sections so that the link keeps only what is used.
# build_cmake_dep PACKAGE LIBRARY SOURCE-SUBFOLDER [CMAKE-ARGUMENTS...]
build_cmake_dep() {
  local name=$1 library=$2 subfolder=$3
  shift 3
  local prefix=$BUILD_ROOT/deps/$name-mingw-i686
  # The stamp holds the options it was built with: changed options build it again.
  if [ -f "$prefix/.complete-sections" ] && [ "$(cat "$prefix/.complete-sections")" = "$*" ] &&
    [ -f "$prefix/lib/$library" ]; then
    log "$name (MinGW): cached in $prefix"
    return
  fi
  log "building $name for MinGW into $prefix"
  rm -rf "$prefix"
  local work=$BUILD_ROOT/deps/src-$name src
  src=$(fetch_source "$name" "$work")
  run_logged "$work/build.log" cmake -S "$src$subfolder" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
  run_logged "$work/build.log" cmake --build "$work/build" -j2
  run_logged "$work/build.log" cmake --install "$work/build"
  [ -f "$prefix/lib/$library" ] || die "$name install lacks $library"
  printf '%s' "$*" >"$prefix/.complete-sections"
  rm -rf "$work"
  log "$name (MinGW) installed"
}

build_cmake_dep lz4 liblz4.a /build/cmake -DBUILD_STATIC_LIBS=ON -DLZ4_BUILD_CLI=OFF \
  -DLZ4_BUILD_LEGACY_LZ4C=OFF "-DCMAKE_C_FLAGS=$C_DEP_FLAGS"
build_cmake_dep simdjson libsimdjson.a "" -DSIMDJSON_DEVELOPER_MODE=OFF \
  "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
# PCRE2 matches the privacy rules' regular expressions: 8-bit code units
# (UTF-8), Unicode properties for letter case and classes, no JIT.
build_cmake_dep pcre2 libpcre2-8.a "" -DBUILD_STATIC_LIBS=ON \
  -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
  -DPCRE2_SUPPORT_UNICODE=ON -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_BUILD_PCRE2GREP=OFF \
  -DPCRE2_BUILD_TESTS=OFF "-DCMAKE_C_FLAGS=$C_DEP_FLAGS"

# SQLite's source package holds the source tree; its own build (native, with
# tclsh) joins it into the single file sqlite3.c, which is then cross-compiled.
# Only what reading a history needs: the options SQLite documents as safe,
# and features left out (no EXPLAIN, window or date functions, UTF-16,
# tracing, the in-memory copy, ...) given to its configure too, so that its
# parser is generated without them. Kept: WAL, URI names, and the progress
# callback (the time limit of every statement on a file the browser wrote);
# the expression depth keeps its limit (a crafted schema must not run the
# parser's recursion out of stack), and no file is ever memory-mapped.
# Built for size: -Os costs a scan of a 50 MB History a third more time than
# -O2 and halves the library.
SQLITE_OMIT="-DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_OMIT_JSON -DSQLITE_OMIT_DEPRECATED
  -DSQLITE_OMIT_SHARED_CACHE -DSQLITE_OMIT_DECLTYPE -DSQLITE_OMIT_DESERIALIZE
  -DSQLITE_OMIT_AUTHORIZATION -DSQLITE_OMIT_COMPLETE -DSQLITE_OMIT_GET_TABLE -DSQLITE_OMIT_UTF16
  -DSQLITE_OMIT_TRACE -DSQLITE_OMIT_EXPLAIN -DSQLITE_OMIT_COMPILEOPTION_DIAGS
  -DSQLITE_OMIT_DATETIME_FUNCS -DSQLITE_OMIT_INCRBLOB -DSQLITE_OMIT_TCL_VARIABLE
  -DSQLITE_OMIT_REINDEX -DSQLITE_OMIT_WINDOWFUNC -DSQLITE_OMIT_INTROSPECTION_PRAGMAS"
SQLITE_FLAGS="-Os $C_DEP_FLAGS -DSQLITE_THREADSAFE=1
  -DSQLITE_DEFAULT_MEMSTATUS=0 -DSQLITE_DQS=0 -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
  -DSQLITE_MAX_MMAP_SIZE=0 -DSQLITE_UNTESTABLE $SQLITE_OMIT"
SQLITE_PREFIX=$BUILD_ROOT/deps/sqlite3-mingw-i686
# The stamp holds the flags: a change of them builds again.
SQLITE_STAMP=$SQLITE_PREFIX/.complete-sections
if [ -f "$SQLITE_STAMP" ] && [ "$(cat "$SQLITE_STAMP")" = "$SQLITE_FLAGS" ] &&
  [ -f "$SQLITE_PREFIX/lib/libsqlite3.a" ]; then
  log "sqlite3 (MinGW): cached in $SQLITE_PREFIX"
else
  log "building sqlite3 for MinGW into $SQLITE_PREFIX"
  rm -rf "$SQLITE_PREFIX"
  WORK=$BUILD_ROOT/deps/src-sqlite3
  SRC_DIR=$(fetch_source sqlite3 "$WORK")
  mkdir -p "$WORK/build" "$SQLITE_PREFIX/lib" "$SQLITE_PREFIX/include"
  # shellcheck disable=SC2086 # the flags are words
  (cd "$WORK/build" && run_logged "$WORK/build.log" "$SRC_DIR/configure" --disable-tcl \
    CFLAGS="-O2 $(echo $SQLITE_OMIT)")
  (cd "$WORK/build" && run_logged "$WORK/build.log" make sqlite3.c sqlite3.h)
  # shellcheck disable=SC2086
  run_logged "$WORK/build.log" i686-w64-mingw32-gcc-posix $SQLITE_FLAGS \
    -c "$WORK/build/sqlite3.c" -o "$WORK/build/sqlite3.o"
  rm -f "$SQLITE_PREFIX/lib/libsqlite3.a"
  run_logged "$WORK/build.log" i686-w64-mingw32-ar rcs "$SQLITE_PREFIX/lib/libsqlite3.a" \
    "$WORK/build/sqlite3.o"
  cp "$WORK/build/sqlite3.h" "$WORK/build/sqlite3ext.h" "$SQLITE_PREFIX/include/"
  echo "$SQLITE_FLAGS" >"$SQLITE_STAMP"
  rm -rf "$WORK"
  log "sqlite3 (MinGW) installed"
fi

log "done"
