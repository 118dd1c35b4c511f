#!/bin/bash
# Fails when a C++ source file of the tree differs from what clang-format makes of it, and names
# each such file. The version is pinned because another clang-format lays out some constructs
# differently; tools/setup.sh installs this one. Files not yet added to git count too.
set -eu
cd "$(dirname "$0")/.."
format=clang-format-14
if ! command -v "$format" >/dev/null 2>&1; then
  echo "check-format: $format is not installed (tools/setup.sh installs it)" >&2
  exit 1
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
status=0
git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' |
  xargs -0 -r "$format" --dry-run -Werror >"$report" 2>&1 || status=$?
[ $status -eq 0 ] && exit 0
# One line "FILE:LINE:COLUMN: error: code should be clang-formatted" per difference.
differ=$(grep -- '-Wclang-format-violations' "$report" | cut -d: -f1 | sort -u || true)
if [ -z "$differ" ]; then
  cat "$report" >&2
  echo "check-format: $format failed" >&2
  exit 1
fi
echo "check-format: these files differ from $format's layout (fix with $format -i FILE):" >&2
printf '  %s\n' $differ >&2
exit 1
