#!/usr/bin/env bash
# Checks what a Windows build ships: the zip package holds the program, the
# README and the LICENSE and nothing else, and its program shows the dialog;
# the installed CMake package builds the example program, which registers and
# removes an extension of its own.
# Usage: check-release.sh BUILD_DIR [build-only]
# build-only: on a machine that cannot run the build's programs, checks what
# can be checked without running them.
set -uo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
mode=${2:-run}
run="$build/wine-run.sh"
. tests/support/check.sh
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

version=$(cache CMAKE_PROJECT_VERSION)
package=$(ls "$build"/packages/KavrexAssoc-"$version"-win*.zip)
check "one package" 1 "$(echo "$package" | wc -l)"
check "package contents" "KavrexAssoc.exe
LICENSE
README.md
kavrex-assoc.exe" "$(unzip -Z1 "$package" | sort)"

sdk="$build/release/sdk"
example="$build/release/example"
rm -rf "$build/release"
cmake --install "$build" --component Development --prefix "$sdk" >/dev/null
cmake -S examples/register-extension -B "$example" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$(cache CMAKE_TOOLCHAIN_FILE)" -DKavrexAssoc_DIR="$sdk/lib/cmake/KavrexAssoc" >/dev/null &&
  cmake --build "$example" >/dev/null
check "the example builds against the installed package" 0 "$?"

if [ "$mode" == build-only ]; then
  echo "NOT RUN: the package's program and the example; this machine cannot run them."
  all_passed
  exit
fi

[ -n "${DISPLAY:-}" ] || . scripts/virtual-display.sh
. scripts/wine-dialog.sh
"$run" "$build/tests/window_probe.exe" ready
drive_c="$build/wineprefix/drive_c"
folder="$drive_c/Kavrex Release"
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$package" -d "$folder"
cp "$build/tests/window_probe.exe" "$folder/Kavrex.exe" # a stand-in handler
cp "$example/register-extension.exe" "$folder/"

"$run" 'C:\Kavrex Release\KavrexAssoc.exe' &
pid=$!
dialog=$(wait_for_dialog)
check "the packaged program shows its dialog" yes "$([ -n "$dialog" ] && echo yes)"
[ -z "$dialog" ] || xdotool windowfocus --sync "$dialog" key --delay 100 Tab Tab Return
wait "$pid"
check "and Cancel ends it" 0 "$?"

check "the packaged command-line program runs" "kavrex-assoc $version" \
  "$("$run" 'C:\Kavrex Release\kavrex-assoc.exe' --version | tr -d '\r')"
check "and finds the Kavrex.exe beside it" 'Kavrex: C:\Kavrex Release\Kavrex.exe' \
  "$("$run" 'C:\Kavrex Release\kavrex-assoc.exe' status | tr -d '\r' | head -n 1)"

short=$("$run" "$build/tests/window_probe.exe" short-path 'C:\Kavrex Release\Kavrex.exe' | tr -d '\r')
check "the example registers and removes .kvxdemo" "registered: 0
command: \"$short\" \"%1\"
removed: yes" "$("$run" 'C:\Kavrex Release\register-extension.exe' | tr -d '\r')"
check "and leaves nothing behind" "" \
  "$("$run" "$build/tests/window_probe.exe" dump .kvxdemo KvxDemo.Archive | tr -d '\r')"
all_passed
