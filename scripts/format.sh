#!/usr/bin/env bash
# Formats the given .cpp/.h files with the tree's .clang-format, or every
# tracked .cpp/.h file of the tree when none is given:
#     bash scripts/format.sh [file...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
command -v clang-format >/dev/null || { echo "format: clang-format is missing (apt-get install clang-format)" >&2; exit 1; }
if [ $# -eq 0 ]; then
  cd "$here"
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i
else
  clang-format -i "$@"
fi
