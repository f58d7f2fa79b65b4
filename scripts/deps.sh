#!/bin/sh
# Installs the Debian packages the build and the tests need, only those missing.
set -e
pkgs="cmake make g++ pkg-config git qt6-base-dev libgl1-mesa-dev libftdi1-dev libgtest-dev libgmock-dev libbenchmark-dev clang-format clang libclang-rt-14-dev"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
else
    sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
