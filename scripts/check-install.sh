#!/usr/bin/env bash
# Installs a built tree (default build/test) into a scratch folder and checks
# the files, the desktop entry, the metainfo, the man page, the shell
# completion and the command line; then builds the Debian package, has
# lintian check it, and runs the packaged program: its window on a headless
# Wayland compositor with no X display, and its text mode.
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
  usr/share/man/man1/zorvelan.1.gz
  usr/share/bash-completion/completions/zorvelan
  usr/share/doc/zorvelan/copyright
  usr/share/doc/zorvelan/changelog.gz
  usr/share/doc/zorvelan/copyright.LiberationSans
)

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
for f in "${installed[@]}"; do
  [ -f "$scratch/root/$f" ] || fail "not installed: /$f"
done
desktop-file-validate "$scratch/root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/$id.metainfo.xml"
file -b "$scratch/root/usr/share/icons/hicolor/scalable/apps/$id.svg" | grep -q "SVG" || fail "icon is no SVG"
[ -z "$(zcat "$scratch/root/usr/share/man/man1/zorvelan.1.gz" | groff -man -ww -z -Tutf8 2>&1)" ] || fail "man page warnings"
# Compressed as gzip -9n does: at the highest level, with no name or time inside.
for f in usr/share/man/man1/zorvelan.1.gz usr/share/doc/zorvelan/changelog.gz; do
  [[ "$(file -b "$scratch/root/$f")" == *"max compression, from Unix"* ]] || fail "/$f is not compressed as gzip -9n does"
done
# --version answers with no display at all.
version=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/zorvelan" --version)
[[ "$version" =~ ^zorvelan\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed: $version"
# So do the text modes.
primes=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/zorvelan" --generate 10 --no-intervals | tr '\n' ,)
[ "$primes" = " 2, 3, 5, 7," ] || fail "--generate printed: $primes"

# The completion, loaded from the installed tree as bash-completion finds it
# and called as bash calls it: the words of the line, the index of the one
# being completed, then COMPREPLY read back.
completed() {
  BASH_COMPLETION_USER_DIR="$scratch/none" XDG_DATA_DIRS="$scratch/root/usr/share" bash -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion zorvelan || exit 1
    function=$(complete -p zorvelan | sed -n "s/.* -F \([^ ]*\) .*/\1/p")
    COMP_WORDS=(zorvelan "$@") COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}" COMP_POINT=${#COMP_LINE}
    "$function" zorvelan "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"' completed "$@"
}
expect_completion() {
  local expected=$1 got
  shift
  got=$(completed "$@") || fail "no completion for zorvelan in /usr/share/bash-completion/completions"
  [ "$got" = "$expected" ] || fail "completing 'zorvelan $*' gave '$got', not '$expected'"
}
expect_completion "--analyze" --ana
expect_completion "--above" --generate 10 --ab
expect_completion "--above --count --no-intervals --json" --generate 10 --
expect_completion "--no-intervals --json" --generate 10 --above --count 5 --
expect_completion "--json" --quick 97 --
expect_completion "" --generate ""
expect_completion "" --generate 10 --above --count ""

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
grep -q "^ Recommends: .*qt6-wayland" <<<"$info" || fail "Recommends lacks qt6-wayland"
grep -Eq "^ Maintainer: [^<]+ <[^@>]+@[^>]+>$" <<<"$info" || fail "Maintainer needs a name and an address"
lintian --fail-on error,warning "$deb" || fail "lintian found errors or warnings"
# apt-get install ./zorvelan_*.deb would find everything the package depends on.
apt-get install --simulate "$deb" >/dev/null || fail "apt-get cannot install the package"

packaged="$scratch/package/root"
dpkg-deb -x "$deb" "$packaged"
quick=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$packaged/usr/bin/zorvelan" --quick 97 | sed -n 1p)
[ "$quick" = "97 is Prime" ] || fail "packaged --quick 97 printed: $quick"
# The packaged window on Wayland, read over the accessibility bus, with
# whatever it writes on standard error kept apart from the reader's.
cat >"$scratch/window" <<EOF
#!/bin/sh
exec "$packaged/usr/bin/zorvelan" "\$@" 2>"$scratch/window.err"
EOF
chmod +x "$scratch/window"
reading=$(ZORVELAN="$scratch/window" scripts/read-window.sh --wayland --wait --press "Quick Test" 97)
grep -q "label '97 is Prime'" <<<"$reading" || fail "the window on Wayland did not show 97 is Prime: $reading"
[ ! -s "$scratch/window.err" ] || fail "the window on Wayland wrote on standard error: $(cat "$scratch/window.err")"
echo "Installed files, validators, completion, package $(basename "$deb") and its window on Wayland: all good"
