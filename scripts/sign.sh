#!/usr/bin/env bash
# Signs Windows programs in place with a code-signing certificate (osslsigncode,
# Debian's package): SHA-256, the product's name (and URL, when given) in the
# signature, and an RFC 3161 timestamp when a timestamp server is given. A file
# is replaced only by its signed copy: a wrong certificate or password leaves
# it as it was.
# Usage: sign.sh --pfx FILE --password-file FILE [--timestamp URL] [--url URL] PROGRAM...
set -euo pipefail

usage() {
  echo "usage: $0 --pfx FILE --password-file FILE [--timestamp URL] [--url URL] PROGRAM..." >&2
  exit 2
}
pfx="" password="" timestamp="" url=""
while [ $# -gt 0 ]; do
  case "$1" in
    --pfx) pfx=${2:-}; shift 2 || usage ;;
    --password-file) password=${2:-}; shift 2 || usage ;;
    --timestamp) timestamp=${2:-}; shift 2 || usage ;;
    --url) url=${2:-}; shift 2 || usage ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ -n "$pfx" ] && [ -n "$password" ] && [ $# -gt 0 ] || usage
for file in "$pfx" "$password" "$@"; do
  [ -r "$file" ] || { echo "sign.sh: cannot read $file; nothing was signed." >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=(sign -pkcs12 "$pfx" -readpass "$password" -h sha256 -n "Kavrex")
[ -z "$url" ] || options+=(-i "$url")
[ -z "$timestamp" ] || options+=(-ts "$timestamp")
for program in "$@"; do
  signed="$work/signed"
  rm -f "$signed"
  if ! osslsigncode "${options[@]}" -in "$program" -out "$signed" >"$work/log" 2>&1; then
    sed 's/^/  /' "$work/log" >&2
    echo "sign.sh: could not sign $program with $pfx (a wrong password, or not a code-signing" \
      "certificate?); it is left as it was." >&2
    exit 1
  fi
  cp "$signed" "$program" # the program's own permissions stay
  echo "signed: $program"
done
