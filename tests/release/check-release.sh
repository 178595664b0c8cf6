#!/usr/bin/env bash
# Checks what a Windows build ships: the zip package holds the programs, the
# README, the LICENSE, the administrators' pages and the remediation pair, and nothing else; each program's manifest asks for
# what Windows should give it; with a throwaway certificate the package is made
# with both programs signed, and a wrong certificate signs nothing; the
# programs, signed too, start;
# the installed CMake package builds the example program, which registers and
# removes an extension of its own.
# Usage: check-release.sh BUILD_DIR [build-only]
# build-only: on a machine that cannot run the build's programs, checks what
# can be checked without running them.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
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
deploy/
deploy/Detect-KavrexAssociation.ps1
deploy/Remediate-KavrexAssociation.ps1
docs/
docs/administrators.md
docs/dialog.png
docs/json.md
docs/security.md
kavrex-assoc.exe
sbom.cdx.json" "$(unzip -Z1 "$package" | sort)"
# The programs as Windows loads them: machine type, imports, manifest, as the
# release job checks every zip.
/usr/bin/python3 tests/release/check-zips.py "$package"
check "the programs' machine type, imports and manifests" 0 "$?"
# The bill of materials the build wrote: what is linked, each with the version found.
check "bill of materials: CycloneDX, this version, each library linked with its version" \
  "CycloneDX $version CLI11 libgcc libstdc++ mingw-w64-crt nlohmann-json winpthreads" \
  "$(unzip -p "$package" sbom.cdx.json | /usr/bin/python3 -c "
import json, sys
bom = json.load(sys.stdin)
names = sorted(c['name'] for c in bom['components'] if c['version'] and c['properties'])
print(bom['bomFormat'], bom['metadata']['component']['version'], *names)")"

sdk="$build/release/sdk"
example="$build/release/example"
rm -rf "$build/release"
mkdir -p "$build/release"

# The manifests as Windows reads them from the packaged programs' resources.
manifest() {
  unzip -p "$package" "$1" >"$build/release/$1"
  /usr/bin/python3 tests/release/resources.py "$build/release/$1"
}
setting() { grep -o "<$1 [^>]*>[^<]*" | sed 's/.*>//'; }
level() { grep -o 'requestedExecutionLevel level="[^"]*"' | cut -d'"' -f2; }
systems="{1f676c76-80e1-4239-95bb-83d0f6d0da78}
{35138b9a-5d96-4fbd-8e2d-a2440225f93a}
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
{e2011457-1546-43c5-a5fe-008deee3d3f0}" # Windows 8.1, 7, 8, 10 and 11, Vista
for program in KavrexAssoc.exe kavrex-assoc.exe; do
  text=$(manifest "$program")
  check "$program: supported systems" "$systems" \
    "$(grep -o 'supportedOS Id="[^"]*"' <<<"$text" | cut -d'"' -f2 | sort)"
  check "$program: the UTF-8 code page" UTF-8 "$(setting activeCodePage <<<"$text")"
  # What Windows shows beside a signature and in the file's properties.
  check "$program: company, copyright, name and product" "CompanyName=KavrexAssoc
LegalCopyright=Copyright (c) 2026 KavrexAssoc
OriginalFilename=$program
ProductName=Kavrex" "$(/usr/bin/python3 tests/release/resources.py --version-info \
    "$build/release/$program" | grep -E '^(CompanyName|LegalCopyright|OriginalFilename|ProductName)=')"
done
dialog=$(manifest KavrexAssoc.exe)
check "KavrexAssoc.exe: elevated" requireAdministrator "$(level <<<"$dialog")"
check "KavrexAssoc.exe: per-monitor DPI aware" "true/pm
PerMonitorV2, PerMonitor" "$(setting 'dpiAware\(ness\)\?' <<<"$dialog")"
check "kavrex-assoc.exe: as invoked" asInvoker \
  "$(manifest kavrex-assoc.exe | level)"
cmake --install "$build" --component Development --prefix "$sdk" >/dev/null
cmake -S examples/register-extension -B "$example" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$(cache CMAKE_TOOLCHAIN_FILE)" -DKavrexAssoc_DIR="$sdk/lib/cmake/KavrexAssoc" >/dev/null &&
  cmake --build "$example" >/dev/null
check "the example builds against the installed package" 0 "$?"

# Signing a release: a throwaway certificate, the package made again with it.
signing="$build/release/signing"
mkdir -p "$signing"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$signing/key.pem" -out "$signing/cert.pem" \
  -days 1 -subj "/CN=Kavrex release check" -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
openssl rand -hex 16 >"$signing/password"
openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" -out "$signing/cert.pfx" \
  -passout file:"$signing/password"
KAVREX_SIGN_PFX="$signing/cert.pfx" KAVREX_SIGN_PASSWORD_FILE="$signing/password" \
  cpack --config "$build/CPackConfig.cmake" -B "$signing/package" >/dev/null
check "the signed package is made" 0 "$?"
unzip -q "$signing/package/$(basename "$package")" -d "$signing/programs"
for program in KavrexAssoc.exe kavrex-assoc.exe; do
  osslsigncode verify -CAfile "$signing/cert.pem" -in "$signing/programs/$program" >/dev/null 2>&1
  check "$program: signed, and the signature verifies" 0 "$?"
done
unzip -p "$package" KavrexAssoc.exe >"$signing/unsigned.exe"
unsigned=$(sha256sum <"$signing/unsigned.exe")
echo wrong >"$signing/wrong"
printf 'not a certificate' >"$signing/corrupt.pfx"
for pair in "cert.pfx wrong" "corrupt.pfx password"; do
  read -r pfx secret <<<"$pair"
  said=$(scripts/sign.sh --pfx "$signing/$pfx" --password-file "$signing/$secret" \
    "$signing/unsigned.exe" 2>&1)
  check "$pfx with $secret: refused" 1 "$?"
  check "$pfx with $secret: says so" yes "$(grep -q 'could not sign' <<<"$said" && echo yes)"
  check "$pfx with $secret: the program as it was" "$unsigned" "$(sha256sum <"$signing/unsigned.exe")"
done

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

# The programs of a folder start: the dialog until Cancel, the command line.
starts() { # WHAT FOLDER
  local pid dialog
  "$run" "C:\\$2\\KavrexAssoc.exe" &
  pid=$!
  dialog=$(wait_for_dialog)
  check "the $1 program shows its dialog" yes "$([ -n "$dialog" ] && echo yes)"
  if [ -n "$dialog" ]; then
    xdotool windowfocus --sync "$dialog"
    "$run" "$build/tests/window_probe.exe" activate-dialog
    xdotool key --delay 100 Tab Tab Return
  fi
  wait "$pid"
  check "and Cancel ends it" 0 "$?"
  check "the $1 command-line program runs" "kavrex-assoc $version" \
    "$("$run" "C:\\$2\\kavrex-assoc.exe" --version | tr -d '\r')"
}
starts packaged "Kavrex Release"
check "and finds the Kavrex.exe beside it" 'Kavrex: C:\Kavrex Release\Kavrex.exe' \
  "$("$run" 'C:\Kavrex Release\kavrex-assoc.exe' status | tr -d '\r' | head -n 1)"

rm -rf "$drive_c/Kavrex Signed"
cp -r "$signing/programs" "$drive_c/Kavrex Signed"
starts signed "Kavrex Signed"

short=$("$run" "$build/tests/window_probe.exe" short-path 'C:\Kavrex Release\Kavrex.exe' | tr -d '\r')
check "the example registers and removes .kvxdemo" "registered: 0
command: \"$short\" \"%1\"
removed: yes" "$("$run" 'C:\Kavrex Release\register-extension.exe' | tr -d '\r')"
check "and leaves nothing behind" "" \
  "$("$run" "$build/tests/window_probe.exe" dump .kvxdemo KvxDemo.Archive | tr -d '\r')"
all_passed
