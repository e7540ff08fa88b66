#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if any is missing.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev libgl-dev libpq-dev libpq5 libgtest-dev
          postgresql postgresql-contrib xvfb xauth fonts-liberation2)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "deps: need root (or sudo) to install ${missing[*]}" >&2; exit 1; }
    SUDO=sudo
else
    SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# The server package would make and start a cluster of its own; ours are private.
if [ ! -e /etc/postgresql-common/createcluster.conf ]; then
    $SUDO mkdir -p /etc/postgresql-common
    echo "create_main_cluster = false" | $SUDO tee /etc/postgresql-common/createcluster.conf >/dev/null
fi
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
