#!/usr/bin/env bash
# The sources' format (clang-format), the shell scripts (shellcheck), the
# layers' includes (check-layers.py), the hosted CI's workflows
# (tests/ci/check-workflows.py), the documents' relative links
# (check-links.py) and clang-tidy's checks on the host build's
# compile database: any finding fails.
# Usage: check-sources.sh [quick|tidy]: all but clang-tidy, or clang-tidy alone.
set -euo pipefail
cd "$(dirname "$0")/.."
part=${1:-all}

if [ "$part" != tidy ]; then
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files as formatted"

mapfile -t scripts < <(git ls-files '*.sh' '*.sh.in')
shellcheck -S warning "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts, no findings"
/usr/bin/python3 scripts/check-layers.py .
# The command line's files stay within one sitting (its functions: src/cli/.clang-tidy).
long=$(git ls-files 'src/cli/*.cpp' 'src/cli/*.h' | xargs wc -l | awk '$2 != "total" && $1 > 250')
if [ -n "$long" ]; then
  echo "$long: longer than 250 lines"
  exit 1
fi
/usr/bin/python3 tests/ci/check-workflows.py .
/usr/bin/python3 scripts/check-links.py
fi
[ "$part" != quick ] || exit 0

# clang-tidy reads the host build's unity batches, each of which includes a
# few of our sources: a batch's headers are read once, not once per source.
# Only what is said of our own files counts, not of the batches' includes.
cmake --preset host >/dev/null
if ! run-clang-tidy -quiet -p build/host -line-filter '[{"name":".cpp"},{"name":".h"}]' \
  >build/host/clang-tidy.log 2>&1; then
  grep -E 'warning:|error:' -A3 build/host/clang-tidy.log
  echo "clang-tidy: findings above"
  exit 1
fi
echo "clang-tidy: no findings"
