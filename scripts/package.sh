#!/usr/bin/env bash
# Builds the Debian package meter-setup_<version>_<arch>.deb: meter-setup,
# meter-cli and meter-sim built with Debian's hardening flags, their manual
# pages, the desktop entry and icon, the AppStream metainfo, the copyright
# file and the changelog. CPack has dpkg-shlibdeps work out the dependencies.
#
#   scripts/package.sh          a Release tree in build/package, and the package there
#   scripts/package.sh TREE     the package of a tree already configured with
#                               Debian's flags (scripts/test.sh passes its own)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
if [ $# -eq 0 ]; then
    BUILD="$ROOT/build/package"
    debian_flags
    build_tree "$BUILD" Release -DBUILD_TESTING=OFF -DMETER_SETUP_REQUIRE_MANPAGES=ON "${DEBIAN_FLAGS[@]}"
else
    BUILD="$(cd "$1" && pwd)"
fi

rm -f "$BUILD"/meter-setup_*.deb
# CPack builds whatever in the tree is not built yet, then installs into the
# package.
if ! (cd "$BUILD" && cpack -G DEB >"$BUILD/cpack.log" 2>&1); then
    cat "$BUILD/cpack.log" >&2
    exit 1
fi
deb=$(ls "$BUILD"/meter-setup_*.deb)
version=$(dpkg-deb -f "$deb" Version)
logged=$(dpkg-parsechangelog -l "$ROOT/packaging/changelog" -S Version)
if [ "$version" != "$logged" ]; then
    echo "The package is version $version but packaging/changelog ends at $logged: add an entry for $version." >&2
    exit 1
fi
echo "Package: $deb"
