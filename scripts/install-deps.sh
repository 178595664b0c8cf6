#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the builds and tests need and this
# machine lacks. Does nothing when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-format clang-tidy libgtest-dev googletest
  libcli11-dev nlohmann-json3-dev unzip python3 python3-pefile python3-yaml shellcheck openssl
  osslsigncode
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  wine wine64 wine32:i386 xvfb xauth xdotool imagemagick
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# The x86 program runs under 32-bit Wine.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
