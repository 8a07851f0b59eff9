#!/bin/sh
# Writes the releases of a "Keep a Changelog" file as a Debian changelog:
#   debian-changelog.sh CHANGELOG.md PACKAGE "NAME <ADDRESS>" OUTPUT
# Each "## [VERSION] - YYYY-MM-DD" section becomes an entry, its "### Kind"
# headings lines of their own and its items the entry's "*" items; the
# Unreleased section and the link lines are left out.
set -eu
[ $# -eq 4 ] || { echo "usage: $0 CHANGELOG.md PACKAGE MAINTAINER OUTPUT" >&2; exit 2; }
exec >"$4"
LC_ALL=C awk -v package="$2" -v maintainer="$3" '
function close_entry() {
    if (!in_release)
        return
    cmd = "date -u -R -d " date
    cmd | getline stamp
    close(cmd)
    printf "\n -- %s  %s\n", maintainer, stamp
    in_release = 0
}
/^## \[[0-9][^]]*\] - [0-9][0-9-]*$/ {
    close_entry()
    if (entries++)
        print ""
    version = $2
    gsub(/[][]/, "", version)
    date = $4
    printf "%s (%s) unstable; urgency=medium\n", package, version
    in_release = 1
    next
}
/^## / { close_entry(); next }
!in_release { next }
/^### / {
    sub(/^### */, "")
    printf "\n  %s:\n", $0
    next
}
/^- / { sub(/^- */, ""); printf "  * %s\n", $0; next }
/^  +[^ ]/ { sub(/^ +/, ""); printf "    %s\n", $0; next }
END { close_entry() }
' "$1"
