#!/bin/sh
# Installs the Debian 12 packages that Tarvo needs to build, run and test. Packages already installed
# are skipped; nothing is installed when all are present.
set -eu

PACKAGES="cmake ninja-build g++ make qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-svg-dev libqt6sql6-sqlite libgl-dev
fonts-dejavu-core libbenchmark-dev iproute2 xdg-utils python3-aiosmtpd poppler-utils sqlite3 libsqlite3-dev
valgrind"

missing=""
for pkg in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing" >&2
    echo "Run as root (or install them with apt-get) and try again." >&2
    exit 1
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
