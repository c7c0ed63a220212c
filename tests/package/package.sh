#!/usr/bin/env bash
# The two Debian packages of the build: they build, lintian finds no error, the desktop entry and
# the metainfo validate, and their files, unpacked into a folder of their own, work from there:
# the version, the demo card's export byte for byte, every program's manual page without a
# warning, the completion of the commands. The companion's package depends on no Qt library.
# usage: package.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$1 source=$2 version=$3
if [ "$(id -u)" -ne 0 ]; then
    [ "${CI:-}" = true ] && { echo "needs root under CI"; exit 1; }
    echo "skipped: needs root"; exit 80
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "$*"; status=1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
card=$work/ostrivan-card_${version}_amd64.deb
window=$work/ostrivan_${version}_amd64.deb
root=$work/root
for deb in "$card" "$window"; do
    [ -f "$deb" ] || { fail "no package ${deb##*/}"; continue; }
    lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { fail "lintian: ${deb##*/}"; cat "$work/lintian.log"; }
    dpkg-deb -x "$deb" "$root"
done
dpkg-deb -f "$card" Depends | grep -qi qt && fail "ostrivan-card depends on Qt: $(dpkg-deb -f "$card" Depends)"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" || { fail "metainfo"; cat "$work/appstream.log"; }

for program in "$root"/usr/bin/*; do
    page=$root/usr/share/man/man1/${program##*/}.1.gz
    [ -f "$page" ] || { fail "no manual page for ${program##*/}"; continue; }
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "${page##*/}: $warnings"
done
"$root/usr/bin/ostrivan-card" --version | grep -qx "Ostrivan $version" || fail "the unpacked companion's version"
XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data "$root/usr/bin/ostrivan-card" export \
    --text "$root/usr/share/doc/ostrivan-card/examples/demo-card.txt" 2>/dev/null >"$work/demo.csv"
cmp "$work/demo.csv" "$source/tests/data/demo-card.csv" || fail "the unpacked companion's export of the demo card"
offered=$(bash -c 'source /usr/share/bash-completion/bash_completion
    source "$1"; COMP_WORDS=(ostrivan-card re); COMP_CWORD=1; COMP_LINE="ostrivan-card re"
    COMP_POINT=${#COMP_LINE}; _ostrivan_card; echo "${COMPREPLY[*]}"' completion \
    "$root/usr/share/bash-completion/completions/ostrivan-card")
[ "$offered" = "readers read" ] || fail "completion offers: $offered"

[ $status -eq 0 ] && echo "both packages build, pass their checks and work unpacked"
exit $status
