# shellcheck shell=bash
# Sourced by the test scripts: check WHAT EXPECTED ACTUAL prints ok or the
# difference, and counts failures; all_passed ends a script with their verdict.
failures=0
check() {
  if [ "$2" == "$3" ]; then
    echo "ok: $1"
  else
    printf 'FAIL: %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}
all_passed() { [ "$failures" -eq 0 ]; }
