#!/usr/bin/env bash
# Throwaway PostgreSQL cluster for the test run: `start ENVFILE` makes one on a
# free loopback port and writes "DIR PORT" to ENVFILE; `stop ENVFILE` ends and
# removes it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cluster="$here/../scripts/pgcluster.sh"
envfile=$2
case $1 in
start)
    if [ -f "$envfile" ]; then
        read -r olddir _ < "$envfile" || true
        [ -n "${olddir:-}" ] && bash "$cluster" stop "$olddir" >/dev/null 2>&1 || true
        [ -n "${olddir:-}" ] && rm -rf "$olddir"
    fi
    dir=$(mktemp -d /tmp/smtptest.XXXXXX)
    chmod 755 "$dir"
    port=$(bash "$cluster" freeport)
    PGCLUSTER_FAST=1 bash "$cluster" start "$dir" "$port" pinecrest
    echo "$dir $port" > "$envfile"
    ;;
stop)
    [ -f "$envfile" ] || exit 0
    read -r dir _ < "$envfile"
    bash "$cluster" stop "$dir" || true
    rm -rf "$dir" "$envfile"
    ;;
esac
