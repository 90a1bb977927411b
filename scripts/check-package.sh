#!/usr/bin/env bash
# Builds the Debian package and checks it: it holds every file it should,
# its desktop entry and AppStream metainfo validate, lintian finds no error,
# each manual page renders without a warning, and the programs run from the
# unpacked package. Fails on the first check that does.
#
#   scripts/check-package.sh [TREE]     TREE as for scripts/package.sh
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$ROOT/scripts/deps.sh"
install_missing "${PACKAGE_PACKAGES[@]}" desktop-file-utils appstream lintian man-db
deb=$("$ROOT/scripts/package.sh" "$@" | sed -n 's/^Package: //p')
[ -n "$deb" ] || exit 1
version=$(dpkg-deb -f "$deb" Version)

UNPACKED="$(mktemp -d)"
trap 'rm -rf "$UNPACKED"' EXIT
dpkg-deb -x "$deb" "$UNPACKED"
fail() {
    echo "Package check failed: $*" >&2
    exit 1
}

for file in usr/bin/meter-setup usr/bin/meter-cli usr/bin/meter-sim \
    usr/share/applications/korvane-meter-setup.desktop \
    usr/share/icons/hicolor/scalable/apps/korvane-meter-setup.svg \
    usr/share/metainfo/com.example.meters.meter_setup.metainfo.xml \
    usr/share/man/man1/meter-setup.1.gz usr/share/man/man1/meter-cli.1.gz usr/share/man/man1/meter-sim.1.gz \
    usr/share/doc/meter-setup/copyright usr/share/doc/meter-setup/changelog.gz; do
    [ -e "$UNPACKED/$file" ] || fail "the package has no /$file"
done

# desktop-file-validate prints warnings but fails only on errors: both count.
out=$(desktop-file-validate "$UNPACKED/usr/share/applications/korvane-meter-setup.desktop" 2>&1) && [ -z "$out" ] ||
    fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$UNPACKED/usr/share/metainfo/com.example.meters.meter_setup.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate --no-net reports the above for the metainfo"
# Warnings are shown but pass; the informational tags kept are listed, with
# their reasons, in the README.
lintian --fail-on error "$deb" || fail "lintian reports errors"

for page in "$UNPACKED"/usr/share/man/man1/*.1.gz; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) && [ -z "$out" ] ||
        fail "man -l $(basename "$page"): $out"
done

out=$("$UNPACKED/usr/bin/meter-cli" --version) || fail "meter-cli --version failed"
[ "$out" = "meter-cli $version" ] || fail "meter-cli --version says \"$out\", not \"meter-cli $version\""
out=$("$UNPACKED/usr/bin/meter-sim" --help) || fail "meter-sim --help failed"
grep -q -- '--com <n>' <<<"$out" || fail "meter-sim --help lists no --com option: $out"
echo "Package checked: $deb"
