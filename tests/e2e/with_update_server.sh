#!/usr/bin/env bash
# Runs a command with the update tests' HTTP server on 127.0.0.1 beside it.
# The command sees ZD_TEST_SERVER (http://127.0.0.1:PORT/) and the folder the
# server serves, as a Unix path (ZD_TEST_SERVER_ROOT) and as the Windows path
# Wine reaches it by (ZD_TEST_SERVER_ROOT_WIN). The server stops with the
# command, and by itself after half an hour at the latest.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(mktemp -d /tmp/zd-update-server.XXXXXX)
mkdir -p "$root/www"
/usr/bin/python3 "$here/update_server.py" --root "$root/www" --port-file "$root/port" \
  --lifetime 1800 2>"$root/server.log" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$root/port" ] && break
  sleep 0.05
done
if [ ! -s "$root/port" ]; then
  echo "the update server did not start:" >&2
  cat "$root/server.log" >&2
  exit 1
fi
export ZD_TEST_SERVER="http://127.0.0.1:$(cat "$root/port")/"
export ZD_TEST_SERVER_ROOT="$root/www"
export ZD_TEST_SERVER_ROOT_WIN="Z:$(echo "$root/www" | tr / '\\')"
"$@"
