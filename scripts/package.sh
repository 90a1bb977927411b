#!/usr/bin/env bash
# Builds the Debian package build/package/meter-setup_<version>_<arch>.deb:
# meter-setup, meter-cli and meter-sim from a Release tree built with
# Debian's hardening flags, their manual pages, the desktop entry and icon,
# the AppStream metainfo, the copyright file and the changelog. CPack has
# dpkg-shlibdeps work out the dependencies.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
BUILD="$ROOT/build/package"
cd "$ROOT"

# Debian's flags for packages, less the debugging information that would
# only be stripped.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DMETER_SETUP_REQUIRE_MANPAGES=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

rm -f "$BUILD"/meter-setup_*.deb
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
