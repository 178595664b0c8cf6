#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the builds and tests need and this
# machine lacks. Does nothing when everything is there.
set -euo pipefail

required=(
  cmake ninja-build g++ clang-format clang-tidy libgtest-dev googletest
  libcli11-dev nlohmann-json3-dev unzip python3 python3-pefile python3-yaml shellcheck openssl
  osslsigncode
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  wine wine64 xvfb xauth xdotool imagemagick
)
# Runs the x86 build's tests; without it they are skipped, and the test command
# says so (KAVREX_REQUIRE_X86=1 makes that a failure).
optional=(wine32:i386)

missing_of() { # PACKAGE...
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      echo "$package"
  done
}
mapfile -t missing < <(missing_of "${required[@]}" "${optional[@]}")
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
# One index out of step with its mirror (seen: the i386 security updates mid-sync)
# fails the update, yet every package that the other indexes hold still installs.
$sudo apt-get update -qq || echo "warning: some package indexes failed to download; going on with the others"
install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" >/dev/null; }
mapfile -t missing < <(missing_of "${required[@]}")
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
for package in $(missing_of "${optional[@]}"); do
  install "$package" ||
    echo "warning: $package cannot be installed here: the x86 build is built and packaged, but its tests do not run"
done
