#!/usr/bin/env bash
# Runs the tool against the demo database on its own defaults: a private
# cluster on 127.0.0.1:5435, database tq4_marrowdene, user postgres, password
# pinecrest, seeded from sample/ the first time. The cluster and its data stay
# in .demo/ between runs; `demo.sh --reset` wipes them and seeds afresh,
# `demo.sh --stop` stops the server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cluster="$root/scripts/pgcluster.sh"
dir="$root/.demo/pg"
port=5435
db=tq4_marrowdene

case ${1:-} in
--stop)
    bash "$cluster" stop "$dir"
    exit 0
    ;;
--reset|"") ;;
*)
    echo "usage: $0 [--reset|--stop]" >&2
    exit 2
    ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "demo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open." >&2
    echo "demo: nothing was changed. Run it from a desktop session, or under Xvfb: xvfb-run -a $0" >&2
    exit 1
fi

bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"

if [ "${1:-}" = --reset ]; then
    echo "demo: resetting the demo database (all edits in it are lost)"
    bash "$cluster" stop "$dir" >/dev/null 2>&1 || true
    rm -rf "$dir"
fi
mkdir -p "$dir"
bash "$cluster" start "$dir" "$port" pinecrest
if [ "$(bash "$cluster" createdb "$dir" "$port" "$db")" = created ]; then
    bash "$cluster" seed "$dir" "$port" "$db"
    echo "demo: seeded $db from sample/"
else
    echo "demo: reusing $db as it was left (demo.sh --reset starts afresh)"
fi
echo "demo: press Connect, then \"Get SMTP Settings\""
exec "${BUILD_DIR:-$root/build}/SmtpSettings"
