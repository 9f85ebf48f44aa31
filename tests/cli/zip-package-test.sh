#!/bin/bash
# Builds the Windows ZIP from a built cross tree and checks what a user unpacks: the program, stripped, and the
# README with its pictures, in one folder named after the version.
#   zip-package-test.sh BUILD_DIR
set -u
build="$1"
out="$build/zip-test"
rm -rf "$out"
mkdir -p "$out"
fail() {
    echo "FAIL: $*"
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$out" >"$out/cpack.log" 2>&1 || fail "cpack: $(tail -5 "$out/cpack.log")"
zip="$(ls "$out"/quillmere-*-windows-x86_64.zip 2>/dev/null | head -n1)"
[ -n "$zip" ] || fail "cpack made no .zip: $(tail -5 "$out/cpack.log")"
echo "package: $zip"
mkdir -p "$out/unpacked"
(cd "$out/unpacked" && unzip -q "$zip") || fail "the ZIP does not unpack"
folder="$out/unpacked/$(basename "$zip" .zip)"
for file in quillmere.exe README.md docs/arc-template.png; do
    [ -s "$folder/$file" ] || fail "the ZIP lacks $file"
done
cmp -s "$folder/README.md" "$(dirname "$0")/../../README.md" || fail "the README in the ZIP is not the project's"
file "$folder/quillmere.exe" | grep -q "PE32+ executable (GUI) x86-64" || fail "not a Windows GUI program: $(file "$folder/quillmere.exe")"
x86_64-w64-mingw32-objdump -h "$folder/quillmere.exe" | grep -q "debug_info" && fail "the program still carries debug information"
echo "ok: $(du -k "$folder/quillmere.exe" | cut -f1) KiB program and README"
