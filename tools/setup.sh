#!/bin/bash
# Installs what building and testing Vandrel needs on Debian, when it is missing.
set -eu
packages="cmake ninja-build g++ libgtest-dev googletest g++-mingw-w64-x86-64 wine wine64 xvfb x11-utils libx11-dev imagemagick xdotool libcli11-dev nlohmann-json3-dev hyperfine clang-format-14"
missing=
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "setup: installing$missing" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing </dev/null
