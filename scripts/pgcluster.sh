#!/usr/bin/env bash
# Manages a private PostgreSQL cluster for development and tests.
#
#   pgcluster.sh start DIR PORT PASSWORD   create (first time) and start the cluster in DIR
#   pgcluster.sh stop DIR                  stop it, if running
#   pgcluster.sh freeport                  print a free TCP port on 127.0.0.1
#   pgcluster.sh createdb DIR PORT DBNAME  create DBNAME if missing; prints created/exists
#   pgcluster.sh seed DIR PORT DBNAME      load sample/schema.sql and sample/seed.sql
#   pgcluster.sh psql DIR PORT DBNAME [args...]
#
# Superuser "postgres": trusted over the socket DIR/sock, password (SCRAM) over TCP.
# PGCLUSTER_FAST=1 starts the server with fsync=off. PGBIN overrides the server binaries.
set -euo pipefail

script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sample_dir="$script_dir/../sample"

die() { echo "pgcluster: $*" >&2; exit 1; }

usage() {
    sed -n '3,9s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

find_pgbin() {
    if [[ -n ${PGBIN:-} ]]; then
        echo "$PGBIN"
        return
    fi
    local newest
    newest=$(printf '%s\n' /usr/lib/postgresql/*/bin | grep -v '\*' | sort -V | tail -1 || true)
    if [[ -n $newest ]]; then
        echo "$newest"
    elif command -v pg_ctl >/dev/null; then
        dirname "$(command -v pg_ctl)"
    else
        die "no PostgreSQL server binaries found (set PGBIN)"
    fi
}

pgbin=$(find_pgbin)
# The versioned psql avoids Debian's wrapper, which looks for clusters of its own.
if [[ -x $pgbin/psql ]]; then psql_bin="$pgbin/psql"; else psql_bin=psql; fi

# The server refuses to run as root, so its tools run as the postgres user.
as_server_user() {
    if [[ $EUID -eq 0 ]]; then
        # cd / keeps runuser from starting in a directory postgres cannot enter.
        (cd / && runuser -u postgres -- "$@")
    else
        "$@"
    fi
}

abs_dir() {
    [[ -n $1 ]] || die "DIR must not be empty"
    realpath -m -- "$1"
}

check_port() {
    if ! [[ $1 =~ ^[0-9]+$ ]] || (( $1 < 1 || $1 > 65535 )); then
        die "invalid port: $1"
    fi
}

# The socket lives in DIR/sock; its full name must fit in sockaddr_un (107 bytes).
check_socket_path() {
    local dir=$1 port=$2
    local sock="$dir/sock/.s.PGSQL.$port"
    (( ${#sock} <= 107 )) || die "socket path too long (${#sock} > 107 bytes): $sock"
}

is_running() {
    [[ -f $1/data/PG_VERSION ]] || return 1
    as_server_user "$pgbin/pg_ctl" -D "$1/data" status >/dev/null 2>&1
}

run_psql() {
    local dir=$1 port=$2 db=$3
    shift 3
    "$psql_bin" -X -h "$dir/sock" -p "$port" -U postgres -d "$db" "$@"
}

cmd_start() {
    (( $# == 3 )) || usage
    local dir port=$2 password=$3
    dir=$(abs_dir "$1")
    check_port "$port"
    # The directory goes into a configuration string; keep it free of quoting trouble.
    [[ $dir != *[\'\",]* && $dir != *$'\n'* ]] || die "DIR must not contain quotes, commas or newlines: $dir"
    check_socket_path "$dir" "$port"

    if is_running "$dir"; then
        echo "already running: $dir"
        return
    fi

    # chown -R below must never take over an unrelated folder.
    if [[ -d $dir ]]; then
        local entry
        for entry in "$dir"/* "$dir"/.[!.]*; do
            [[ -e $entry ]] || continue
            case ${entry##*/} in
                data | sock | server.log | initdb.log | .pwfile) ;;
                *) die "$dir holds files other than a cluster's ($entry); refusing to use it" ;;
            esac
        done
    fi
    mkdir -p "$dir/sock"
    if [[ $EUID -eq 0 ]]; then
        chown -R postgres: "$dir"
        runuser -u postgres -- test -w "$dir" -a -x "$dir" \
            || die "user postgres cannot reach $dir (a parent directory is not traversable)"
    fi

    if [[ ! -f $dir/data/PG_VERSION ]]; then
        local pwfile="$dir/.pwfile"
        (umask 077 && printf '%s\n' "$password" >"$pwfile")
        [[ $EUID -ne 0 ]] || chown postgres: "$pwfile"
        if ! as_server_user "$pgbin/initdb" -D "$dir/data" -U postgres --pwfile="$pwfile" \
                -E UTF8 --locale=C --auth-host=scram-sha-256 --auth-local=trust \
                >"$dir/initdb.log" 2>&1; then
            rm -f "$pwfile"
            cat "$dir/initdb.log" >&2
            die "initdb failed"
        fi
        rm -f "$pwfile"
        # Settings that vary per start live in a file rewritten each time.
        echo "include_if_exists = 'pgcluster.conf'" >>"$dir/data/postgresql.conf"
    fi

    {
        echo "listen_addresses = '127.0.0.1'"
        echo "port = $port"
        echo "unix_socket_directories = '$dir/sock'"
        if [[ ${PGCLUSTER_FAST:-} == 1 ]]; then echo "fsync = off"; fi
    } >"$dir/data/pgcluster.conf"
    [[ $EUID -ne 0 ]] || chown postgres: "$dir/data/pgcluster.conf"

    if ! as_server_user "$pgbin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w start >/dev/null 2>&1; then
        tail -n 20 "$dir/server.log" >&2 || true
        die "server did not start (see $dir/server.log)"
    fi
    echo "started: $dir on 127.0.0.1:$port"
}

cmd_stop() {
    (( $# == 1 )) || usage
    local dir
    dir=$(abs_dir "$1")
    if is_running "$dir"; then
        as_server_user "$pgbin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
        echo "stopped: $dir"
    else
        echo "not running: $dir"
    fi
}

cmd_freeport() {
    (( $# == 0 )) || usage
    if command -v python3 >/dev/null; then
        python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
        return
    fi
    local port tries
    for (( tries = 0; tries < 200; tries++ )); do
        port=$(( 20000 + RANDOM % 40000 ))
        # A refused connection means nothing listens there.
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return
        fi
    done
    die "no free port found"
}

cmd_createdb() {
    (( $# == 3 )) || usage
    local dir port=$2 db=$3
    dir=$(abs_dir "$1")
    check_port "$port"
    local found
    # Names go through psql variables so any database name is quoted correctly.
    found=$(run_psql "$dir" "$port" postgres -v ON_ERROR_STOP=1 -At -v db="$db" \
        <<<"select count(*) from pg_database where datname = :'db';")
    if [[ $found == 1 ]]; then
        echo "exists"
    else
        run_psql "$dir" "$port" postgres -v ON_ERROR_STOP=1 -q -v db="$db" \
            <<<"create database :\"db\" template template0 encoding 'UTF8';"
        echo "created"
    fi
}

cmd_seed() {
    (( $# == 3 )) || usage
    local dir port=$2 db=$3
    dir=$(abs_dir "$1")
    check_port "$port"
    run_psql "$dir" "$port" "$db" -v ON_ERROR_STOP=1 -q --single-transaction \
        -f "$sample_dir/schema.sql" -f "$sample_dir/seed.sql"
    echo "seeded: $db"
}

cmd_psql() {
    (( $# >= 3 )) || usage
    local dir port=$2 db=$3
    dir=$(abs_dir "$1")
    check_port "$port"
    shift 3
    run_psql "$dir" "$port" "$db" "$@"
}

(( $# >= 1 )) || usage
command=$1
shift
case $command in
    start) cmd_start "$@" ;;
    stop) cmd_stop "$@" ;;
    freeport) cmd_freeport "$@" ;;
    createdb) cmd_createdb "$@" ;;
    seed) cmd_seed "$@" ;;
    psql) cmd_psql "$@" ;;
    *) usage ;;
esac
