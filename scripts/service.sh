#!/usr/bin/env bash
# Builds the upload service (native preset, that target only) and runs it in
# the foreground with its defaults: HTTPS on 127.0.0.1:8443, data in
# ~/.local/share/kadrix-service. Extra arguments go to the service
# (scripts/service.sh --help lists them). Ctrl+C stops it.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build/native}
cmake --preset native -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" --target kadrix-service

cat >&2 <<'TEXT'
Point Kadrix at it: put the "ServiceUrl" address printed below into the
string value ServiceUrl under HKEY_CURRENT_USER\Software\Orvik Software\Kadrix
  reg add "HKCU\Software\Orvik Software\Kadrix" /v ServiceUrl /t REG_SZ /d <ServiceUrl>
and, for HTTPS, trust the printed certificate there (Kadrix verifies TLS).
TEXT
exec "$BUILD_DIR/service/kadrix-service" "$@"
