#!/bin/bash
# Builds the Debian package from a built tree, installs it into this machine with dpkg and checks that the
# installed tool runs and its man page is found. Needs root (exit 77 = skipped otherwise). A package that was
# not installed before the test is removed again afterwards.
#   deb-install-test.sh BUILD_DIR
set -u
build="$1"
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs root"; exit 77; }

out="$build/deb-test"
rm -rf "$out"
mkdir -p "$out"
fail() {
    echo "FAIL: $*"
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || fail "cpack: $(tail -5 "$out/cpack.log")"
deb="$(ls "$out"/quillmere_*.deb 2>/dev/null | head -n1)"
[ -n "$deb" ] || fail "cpack made no .deb: $(tail -5 "$out/cpack.log")"
echo "package: $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libcairo2 libcups2 fonts-liberation; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
contents="$(dpkg-deb -c "$deb")"
for path in ./usr/bin/quillmere ./usr/share/man/man1/quillmere.1.gz ./usr/share/doc/quillmere/README.md \
    ./usr/share/doc/quillmere/copyright ./usr/share/doc/quillmere/changelog.gz; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done

was_installed=no
dpkg-query -W -f='${Status}' quillmere 2>/dev/null | grep -q "install ok installed" && was_installed=yes
remove_again() {
    [ "$was_installed" = no ] && dpkg -r quillmere >/dev/null 2>&1
}
trap remove_again EXIT

dpkg -i "$deb" >"$out/dpkg.log" 2>&1 || fail "dpkg -i: $(tail -5 "$out/dpkg.log")"

# --version where the tool has it; until then its help proves that it runs.
if version="$(/usr/bin/quillmere --version 2>&1)"; then
    echo "installed: $version"
    [[ "$version" == *1.22* ]] || fail "--version does not name version 1.22: $version"
else
    /usr/bin/quillmere --help >"$out/help.txt" 2>&1 || fail "/usr/bin/quillmere --help failed: $(cat "$out/help.txt")"
    grep -q "Usage: quillmere" "$out/help.txt" || fail "no usage from the installed tool"
    echo "installed: quillmere --help runs (no --version yet)"
fi
page="$(man -w quillmere 2>&1)" || fail "man -w quillmere: $page"
[ "$page" = /usr/share/man/man1/quillmere.1.gz ] || fail "man found $page"
man -P cat quillmere 2>/dev/null | grep -q "CHECKING THE PRINTOUT" || fail "man quillmere does not show the page"
echo "man page: $page"

# The licence as Debian keeps it, and a changelog that dpkg can read.
copyright=/usr/share/doc/quillmere/copyright
grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$copyright" ||
    fail "$copyright is not in the machine-readable format"
grep -q "^Copyright: 2026 The Quillmere developers" "$copyright" || fail "$copyright names no copyright holder"
grep -q "^License: Expat" "$copyright" || fail "$copyright names no MIT (Expat) licence"
grep -q "^ Permission is hereby granted, free of charge" "$copyright" || fail "$copyright lacks the licence text"
zcat /usr/share/doc/quillmere/changelog.gz >"$out/changelog" || fail "the changelog is not gzip"
changes="$(dpkg-parsechangelog -l "$out/changelog" -S Version 2>&1)" ||
    fail "the changelog does not parse: $changes"
[ "$changes" = 1.22 ] || fail "the changelog's latest version is $changes, not 1.22"
echo "copyright and changelog: $copyright, version $changes"
