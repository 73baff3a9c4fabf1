#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it (.clang-format), and names
# each such file: run `clang-format -i FILE` on it.
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r -d '' file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then unformatted+=("$file"); fi
done < <(git ls-files -z '*.cpp' '*.h')
if [ ${#unformatted[@]} -ne 0 ]; then
  printf 'not formatted (clang-format -i FILE): %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "every C++ file is formatted"
