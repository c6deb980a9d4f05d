# Cross toolchain for the Windows build. The libraries Debian does not ship
# for MinGW come from the cache filled by scripts/setup.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(DEFINED ENV{KADRIX_CACHE})
  set(_kadrix_cache "$ENV{KADRIX_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(_kadrix_cache "$ENV{XDG_CACHE_HOME}/kadrix")
else()
  set(_kadrix_cache "$ENV{HOME}/.cache/kadrix")
endif()
get_filename_component(KADRIX_MINGW_DEPS "${_kadrix_cache}/mingw-deps/current" REALPATH)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${KADRIX_MINGW_DEPS}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(OPENSSL_ROOT_DIR "${KADRIX_MINGW_DEPS}")
set(OPENSSL_USE_STATIC_LIBS TRUE)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# A new cache key (setup.sh rebuilt the libraries elsewhere): forget where
# the old ones were found, or the build keeps linking them.
if(DEFINED CACHE{OPENSSL_INCLUDE_DIR})
  string(FIND "$CACHE{OPENSSL_INCLUDE_DIR}" "${KADRIX_MINGW_DEPS}/" _kadrix_at)
  if(NOT _kadrix_at EQUAL 0)
    foreach(_var CURL_DIR JPEG_INCLUDE_DIR JPEG_LIBRARY_RELEASE JPEG_LIBRARY_DEBUG
                 OPENSSL_INCLUDE_DIR OPENSSL_CRYPTO_LIBRARY OPENSSL_SSL_LIBRARY LIB_EAY SSL_EAY
                 LIB_EAY_RELEASE SSL_EAY_RELEASE LIB_EAY_DEBUG SSL_EAY_DEBUG)
      unset(${_var} CACHE)
    endforeach()
  endif()
endif()
