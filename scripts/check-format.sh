#!/usr/bin/env bash
# Fails when a C++ file of the project differs from the style in .clang-format,
# and says which command fixes it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/meter-setup-format.$$; then
    grep -m 20 'error:' /tmp/meter-setup-format.$$ >&2 || true
    rm -f /tmp/meter-setup-format.$$
    echo "Some files differ from .clang-format. Fix them with:" >&2
    echo "  clang-format -i \$(git ls-files -- '*.cpp' '*.h')" >&2
    exit 1
fi
rm -f /tmp/meter-setup-format.$$
echo "Formatting: ${#files[@]} files match .clang-format"
