#!/usr/bin/env bash
# Installs a built tree (default build/test) into a scratch folder and checks
# the files, the desktop entry, the metainfo, the man page and the command
# line; then builds the Debian package and checks its contents and fields.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
id=io.github.zorvelan.Zorvelan
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

installed=(
  usr/bin/zorvelan
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/zorvelan.1
  usr/share/doc/zorvelan/copyright
  usr/share/doc/zorvelan/copyright.LiberationSans
)

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
for f in "${installed[@]}"; do
  [ -f "$scratch/root/$f" ] || fail "not installed: /$f"
done
desktop-file-validate "$scratch/root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/$id.metainfo.xml"
file -b "$scratch/root/usr/share/icons/hicolor/scalable/apps/$id.svg" | grep -q "SVG" || fail "icon is no SVG"
[ -z "$(groff -man -ww -z -Tutf8 "$scratch/root/usr/share/man/man1/zorvelan.1" 2>&1)" ] || fail "man page warnings"
# --version answers with no display at all.
version=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/zorvelan" --version)
[[ "$version" =~ ^zorvelan\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed: $version"
# So do the text modes.
primes=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/zorvelan" --generate 10 --no-intervals | tr '\n' ,)
[ "$primes" = " 2, 3, 5, 7," ] || fail "--generate printed: $primes"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/package" >/dev/null
deb=$(echo "$scratch"/package/zorvelan_*.deb)
[ -f "$deb" ] || fail "no package built"
contents=$(dpkg-deb -c "$deb")
for f in "${installed[@]}"; do
  grep -q " \./$f\$" <<<"$contents" || fail "package lacks /$f"
done
info=$(dpkg-deb -I "$deb")
grep -q "^ Package: zorvelan$" <<<"$info" || fail "package name"
grep -q "^ Version: ${version#zorvelan }$" <<<"$info" || fail "package version differs from --version"
grep -q "^ Section: math$" <<<"$info" || fail "package section"
grep -q "^ Depends: .*libqt6widgets6" <<<"$info" || fail "Depends lacks the Qt libraries"
echo "Installed files, validators and package $(basename "$deb"): all good"
