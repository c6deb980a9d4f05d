#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12 and
# cross-builds the MinGW libraries Debian does not package (libjpeg-turbo,
# OpenSSL, libcurl) into a cache keyed by their versions. Safe to re-run:
# packages already present and a filled cache are reused.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev clang-format ccache
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 xvfb x11-xserver-utils xdotool imagemagick nsis nasm zip unzip
  xserver-xorg-core xserver-xorg-video-dummy # two monitors for the monitor tests
  fonts-noto-core fonts-roboto-unhinted fonts-open-sans
  zlib1g-dev libjpeg-dev libssl-dev libcurl4-openssl-dev nlohmann-json3-dev libcpp-httplib-dev locales
  libpng-dev
  stress # the soak under load
  googletest libgtest-dev libbenchmark-dev libcairo2-dev
  clang libclang-rt-14-dev # libFuzzer and the sanitizers: scripts/fuzz.sh
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

add_deb_src() {
  local src=/etc/apt/sources.list.d/debian.sources
  local dst=/etc/apt/sources.list.d/kadrix-deb-src.sources
  [ -f "$dst" ] && return 0
  if [ -f "$src" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$src" | $SUDO tee "$dst" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee /etc/apt/sources.list.d/kadrix-deb-src.list >/dev/null
  fi
  touch /tmp/kadrix-apt-stale
}
add_deb_src

if [ ${#missing[@]} -gt 0 ] || [ -f /tmp/kadrix-apt-stale ]; then
  $SUDO apt-get update -qq
  rm -f /tmp/kadrix-apt-stale
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# A locale with a decimal comma: numbers read from files must not follow it.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  $SUDO localedef -i ru_RU -c -f UTF-8 ru_RU.UTF-8 || echo "setup: no ru_RU locale, a test will skip"
fi

# --- cross-built libraries -------------------------------------------------
CACHE_ROOT="${KADRIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kadrix}"
src_version() { apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/{print $2; exit}'; }
JPEG_VER=$(src_version libjpeg-turbo)
SSL_VER=$(src_version openssl)
CURL_VER=$(src_version curl)
if [ -z "$JPEG_VER" ] || [ -z "$SSL_VER" ] || [ -z "$CURL_VER" ]; then
  $SUDO apt-get update -qq
  JPEG_VER=$(src_version libjpeg-turbo); SSL_VER=$(src_version openssl); CURL_VER=$(src_version curl)
fi
KEY="jpeg-${JPEG_VER}_openssl-${SSL_VER}_curl-${CURL_VER}_r3"
# OpenSSL's compiled-in directories: under Program Files, admin-only.
SSL_SYSTEM_DIR="C:/Program Files/Common Files/Kadrix"
PREFIX="$CACHE_ROOT/mingw-deps/$KEY"
mkdir -p "$CACHE_ROOT/mingw-deps"

JOBS=$(nproc)
CROSS=x86_64-w64-mingw32

write_toolchain() {
  cat >"$1/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER ${CROSS}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CROSS}-g++-posix)
set(CMAKE_RC_COMPILER ${CROSS}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CROSS} $PREFIX)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# The mirror's index can name a version whose files are gone: try each.
fetch_source() {
  local v
  for v in $(apt-cache showsrc "$1" | awk '/^Version:/{print $2}'); do
    apt-get source -qq "$1=$v" >/dev/null 2>&1 && return 0
  done
  echo "setup: cannot fetch the source of $1" >&2
  return 1
}

# libjpeg-turbo with its SIMD code (nasm), static, into $PREFIX.
build_libjpeg() {
  cd "$1"/libjpeg-turbo-*/
  cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$1/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF >/dev/null
  cmake --build build -j"$JOBS" >/dev/null
  cmake --install build >/dev/null
  touch "$PREFIX/.jpeg-simd"
}

if [ ! -f "$PREFIX/.complete" ]; then
  echo "setup: cross-building MinGW libraries into $PREFIX (a few minutes, once)"
  rm -rf "$PREFIX"
  WORK=$(mktemp -d "$CACHE_ROOT/build.XXXXXX")
  trap 'rm -rf "$WORK"' EXIT
  write_toolchain "$WORK"
  (
    cd "$WORK"
    for pkg in libjpeg-turbo openssl curl; do fetch_source "$pkg"; done
    build_libjpeg "$WORK"

    # Nothing is ever loaded from a path: no configuration file, engine,
    # module or DSO. The directory names still compiled in point where only
    # an administrator can write; the build cache's path, a folder on the
    # current drive to Windows, must not appear. Hence the copy by hand
    # instead of an install into that prefix.
    cd "$WORK"/openssl-*/
    ./Configure mingw64 no-shared no-asm no-tests no-autoload-config no-engine no-module \
      no-dso --cross-compile-prefix=${CROSS}- --prefix="$SSL_SYSTEM_DIR" --libdir=lib \
      --openssldir=ssl >/dev/null
    make -j"$JOBS" build_libs >/dev/null
    mkdir -p "$PREFIX/lib" "$PREFIX/include"
    cp libssl.a libcrypto.a "$PREFIX/lib/"
    cp -r include/openssl "$PREFIX/include/"

    cd "$WORK"/curl-*/
    cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WORK/toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DHTTP_ONLY=ON \
      -DCURL_USE_OPENSSL=ON -DOPENSSL_ROOT_DIR="$PREFIX" -DOPENSSL_USE_STATIC_LIBS=ON \
      -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_ZLIB=OFF \
      -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DENABLE_MANUAL=OFF \
      -DCURL_DISABLE_OPENSSL_AUTO_LOAD_CONFIG=ON -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none \
      -DCURL_CA_FALLBACK=OFF -DCMAKE_C_FLAGS="-ffile-prefix-map=$WORK=." >/dev/null
    cmake --build build -j"$JOBS" >/dev/null
    cmake --install build >/dev/null
  )
  touch "$PREFIX/.complete"
fi
# A cache made before libjpeg-turbo was built with its SIMD code: rebuild
# just that library (a minute) instead of all three.
if [ ! -f "$PREFIX/.jpeg-simd" ]; then
  echo "setup: rebuilding libjpeg-turbo with its SIMD code into $PREFIX"
  JWORK=$(mktemp -d "$CACHE_ROOT/build.XXXXXX")
  trap 'rm -rf "$JWORK"' EXIT
  write_toolchain "$JWORK"
  (
    cd "$JWORK"
    fetch_source libjpeg-turbo
    build_libjpeg "$JWORK"
  )
  rm -rf "$JWORK"
fi
ln -sfn "$PREFIX" "$CACHE_ROOT/mingw-deps/current"
echo "setup: MinGW libraries in $PREFIX"
