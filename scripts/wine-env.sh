# shellcheck shell=bash
# Sourced (not run) by the test and run scripts: sets up a private 32-bit Wine
# prefix and exports the variables that point Wine at it.
#
#   source scripts/wine-env.sh   a fresh prefix in a new temporary folder;
#                                 call zd_wine_cleanup when done.
#   ZD_WINE_KEEP_PREFIX=PFX ZD_WINE_KEEP_DATA=DATA source scripts/wine-env.sh
#                                 a persistent prefix PFX (kept between runs)
#                                 whose drive D: is the folder DATA.
#
# Either way drive D: is a fixed drive on a folder of ours and Z: (the machine's
# root) is marked as a network drive, so the program's configuration folder,
# which goes to the last fixed drive, lands on D:. A ready prefix is cached in
# $ZD_BUILD_ROOT/wine-template (default <repo>/build) and copied, which takes
# about a second instead of the ten of a first boot.
#
# Source it where $DISPLAY already names the display the programs will use (for
# instance inside xvfb-run): Wine binds the prefix's desktop to the display that
# is current when its first programs start, for as long as the server lives.
#
# Exports WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES ZD_WINE_DATA and leaves
# a persistent wineserver running (ctest would otherwise wait ~2 s per test for
# the server to let go of its output pipe).

_zd_wine_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
_zd_wine_build=${ZD_BUILD_ROOT:-$_zd_wine_root/build}

export WINEARCH=win32
export WINEDEBUG=-all
# winemenubuilder would mirror the prefix's shortcuts onto the machine's desktop
# and menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"

_zd_wine_log() { echo "[wine-env] $*"; }

# Builds the cached template prefix (once per Wine version and script version).
_zd_wine_template() {
  local tmpl=$_zd_wine_build/wine-template
  local stamp
  stamp="$(wine --version) $(cat "$_zd_wine_root/scripts/wine-env.sh" \
    "$_zd_wine_root/scripts/drivecheck.c" | md5sum | cut -c1-12)"
  if [ -f "$tmpl/.zd-template" ] && [ "$(cat "$tmpl/.zd-template")" = "$stamp" ]; then
    return 0
  fi
  _zd_wine_log "creating the template prefix (first run only)"
  rm -rf "$tmpl" "$tmpl.tmp"
  mkdir -p "$_zd_wine_build"
  (
    # Wine's processes must not inherit (and hold) the template lock.
    [ -n "${_zd_wine_lock_fd:-}" ] && eval "exec ${_zd_wine_lock_fd}>&-"
    export WINEPREFIX=$tmpl.tmp
    export LANG=zh_CN.UTF-8
    # wineboot -i returns before COM registration ends; wait for the server.
    wineboot -i >/dev/null 2>&1 && wineserver -w || exit 1
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || exit 1
    # A new prefix links the user's desktop and documents to the machine's home
    # folder: make them folders of the prefix, so that what a test (or a setup
    # it runs) puts there stays in the prefix.
    for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos,Templates}; do
      if [ -L "$link" ]; then rm -f "$link" && mkdir "$link" || exit 1; fi
    done
    # Managed=N: without a window manager, hiding a managed window takes 2 s.
    cat >"$WINEPREFIX/drive_c/zd-settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"z:"="network"
REG
    wine regedit /S 'C:\zd-settings.reg' >/dev/null 2>&1 || exit 1
    # The registry reaches the disk only when the server exits.
    wineserver -w || exit 1
    rm -f "$WINEPREFIX/drive_c/zd-settings.reg"
    grep -q '"z:"="network"' "$WINEPREFIX/system.reg" &&
      grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" || exit 1
    i686-w64-mingw32-gcc-posix -O2 -o "$WINEPREFIX/drivecheck.exe" \
      "$_zd_wine_root/scripts/drivecheck.c" || exit 1
  ) || {
    _zd_wine_log "ERROR: could not create the Wine prefix"
    rm -rf "$tmpl.tmp"
    return 1
  }
  echo "$stamp" >"$tmpl.tmp/.zd-template"
  mv "$tmpl.tmp" "$tmpl"
}

# Copies the template to $1 unless it already holds a copy of this template.
_zd_wine_copy() {
  local pfx=$1
  if [ ! -f "$pfx/.zd-template" ] ||
    [ "$(cat "$pfx/.zd-template")" != "$(cat "$_zd_wine_build/wine-template/.zd-template")" ]; then
    rm -rf "$pfx"
    mkdir -p "$(dirname "$pfx")"
    cp -a "$_zd_wine_build/wine-template" "$pfx" || return 1
  fi
}

# Maps D: of prefix $1 to $2, starts its server and checks the drive layout.
_zd_wine_instantiate() {
  local pfx=$1 data=$2
  mkdir -p "$data"
  ln -sfn "$(cd "$data" && pwd)" "$pfx/dosdevices/d:"
  export WINEPREFIX=$pfx
  _zd_wine_active=$pfx
  # A server still running for this prefix would not see the new drive.
  wineserver -k >/dev/null 2>&1 || true
  # A persistent server, detached from our output: otherwise whoever reads a
  # test's output waits for the server to let go of it.
  wineserver -p </dev/null >/dev/null 2>&1 || return 1
  # The first program starts Wine's service processes (and, with a display, the
  # desktop process), which live as long as the server and keep the first
  # program's output open: give them a file, not the pipe of a test runner.
  local want_desktop=()
  [ -n "${DISPLAY:-}" ] && want_desktop=(desktop)
  if ! wine "$pfx/drivecheck.exe" D "${want_desktop[@]}" </dev/null >"$pfx/drivecheck.log" 2>&1; then
    _zd_wine_log "ERROR: D: is not the last fixed drive of $pfx (or no desktop):"
    cat "$pfx/drivecheck.log" >&2
    wineserver -k >/dev/null 2>&1 || true
    return 1
  fi
}

# Stops the prefix's server and, for a temporary prefix, removes it.
zd_wine_cleanup() {
  if [ -n "${_zd_wine_active:-}" ]; then
    WINEPREFIX=$_zd_wine_active wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -n "${ZD_WINE_TMP:-}" ] && [ -d "$ZD_WINE_TMP" ]; then
    rm -rf "$ZD_WINE_TMP"
    unset ZD_WINE_TMP
  fi
}

# Several shells may source this at once: the template is made and copied
# under a lock.
_zd_wine_prepare() { # prefix
  mkdir -p "$_zd_wine_build" || return 1
  local _zd_wine_lock_fd rc=0
  exec {_zd_wine_lock_fd}>"$_zd_wine_build/wine-template.lock" || return 1
  flock "$_zd_wine_lock_fd" || rc=1
  if [ $rc -eq 0 ]; then
    _zd_wine_template && _zd_wine_copy "$1" || rc=1
  fi
  eval "exec ${_zd_wine_lock_fd}>&-"
  return $rc
}

_zd_wine_setup() {
  if [ -n "${ZD_WINE_KEEP_PREFIX:-}" ]; then
    local data=${ZD_WINE_KEEP_DATA:?ZD_WINE_KEEP_DATA must name the folder for D:}
    _zd_wine_prepare "$ZD_WINE_KEEP_PREFIX" || return 1
    _zd_wine_instantiate "$ZD_WINE_KEEP_PREFIX" "$data" || return 1
    export ZD_WINE_DATA=$data
  else
    ZD_WINE_TMP=$(mktemp -d /tmp/zd-wine.XXXXXX) || return 1
    export ZD_WINE_TMP
    if ! _zd_wine_prepare "$ZD_WINE_TMP/prefix" ||
      ! _zd_wine_instantiate "$ZD_WINE_TMP/prefix" "$ZD_WINE_TMP/data"; then
      zd_wine_cleanup
      return 1
    fi
    export ZD_WINE_DATA=$ZD_WINE_TMP/data
  fi
  _zd_wine_log "prefix $WINEPREFIX, D: = $ZD_WINE_DATA"
}

_zd_wine_setup
