#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, then
# builds the Debian package and checks it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" clang-format
# A file that differs from .clang-format fails the run, with the fixing command.
"$ROOT/scripts/check-format.sh"
BUILD="$ROOT/build/test"
# Built with Debian's flags, so that the package below holds the programs
# tested here rather than a second build of them.
debian_flags
build_tree "$BUILD" RelWithDebInfo "${DEBIAN_FLAGS[@]}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure --timeout 300 -j"$(nproc)"
# The Debian package of this tree, and its checks.
"$ROOT/scripts/check-package.sh" "$BUILD"
