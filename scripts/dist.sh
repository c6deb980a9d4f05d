#!/usr/bin/env bash
# Builds what a user downloads into build/dist/: the per-user installer, the
# portable zip (the same files) and SHA256SUMS. Uses the MinGW build in
# build/mingw (built here when missing or stale).
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${KADRIX_DIST_NO_SETUP:-}" = 1 ] || bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Kadrix

VERSION=$(sed -n 's/^project(Kadrix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
BUILD=build/mingw
DIST=build/dist
STAGE="$DIST/Kadrix-$VERSION"
rm -rf "$DIST"
mkdir -p "$STAGE/Fonts"

x86_64-w64-mingw32-strip -o "$STAGE/Kadrix.exe" "$BUILD/Kadrix.exe"
cp "$BUILD"/Fonts/*.ttf "$STAGE/Fonts/"
cp "$BUILD/screenshoot.wav" "$STAGE/"

# Licence texts as the installed packages carry them: the libraries linked
# into Kadrix.exe (the MinGW builds of libjpeg-turbo, OpenSSL and curl come
# from the same Debian sources) and the fonts beside it.
notice() { # title, package whose copyright file is used
    local file="/usr/share/doc/$2/copyright"
    [ -f "$file" ] || { echo "dist: missing $file" >&2; exit 1; }
    printf '%s\n%s\n(from %s)\n\n' "$1" "$(printf '=%.0s' $(seq 1 ${#1}))" "$file"
    cat "$file"
    printf '\n\n'
}
{
    printf 'Kadrix %s includes the following third-party software.\n\n' "$VERSION"
    notice "zlib" libz-mingw-w64
    notice "libjpeg-turbo" libjpeg62-turbo
    notice "OpenSSL" libssl3
    notice "curl (libcurl)" libcurl4
    notice "JSON for Modern C++" nlohmann-json3-dev
    notice "GCC runtime libraries (libstdc++, libgcc)" gcc-mingw-w64-base
    notice "MinGW-w64 runtime and winpthreads" mingw-w64-common
    notice "Noto Sans font" fonts-noto-core
    notice "Roboto font" fonts-roboto-unhinted
    notice "Open Sans font" fonts-open-sans
} | sed 's/$/\r/' >"$STAGE/NOTICES.txt"

ZIP="Kadrix-$VERSION-portable.zip"
(cd "$DIST" && TZ=UTC zip -q -X -r "$ZIP" "Kadrix-$VERSION")

SETUP="Kadrix-$VERSION-setup.exe"
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$(realpath "$STAGE")" \
    -DICON="$(realpath "$BUILD/art/Kadrix.ico")" -DOUTFILE="$(realpath "$DIST")/$SETUP" \
    packaging/Kadrix.nsi

(cd "$DIST" && sha256sum "$SETUP" "$ZIP" >SHA256SUMS)
for f in "$DIST/$SETUP" "$DIST/$ZIP" "$STAGE/Kadrix.exe"; do
    printf '%-40s %8d KiB\n' "$(basename "$f")" $(($(stat -c %s "$f") / 1024))
done
