#!/usr/bin/env bash
# Fails when a shipped binary names a folder a user could create: the build
# cache (which only a lucky ':' in its name made invalid) or a Unix absolute
# path, which Windows reads as a folder at the root of the current drive.
# Usage: check-paths.sh FILE...
set -euo pipefail
status=0
for f in "$@"; do
    found=$( { strings -a -n 4 "$f"; strings -a -n 4 -el "$f"; } |
        grep -E '\.cache/kadrix|mingw-deps|(^|[^A-Za-z0-9.])/(root|home|usr|etc|opt|var|tmp|srv|mnt|lib|build)(/|$)' |
        sort -u || true)
    if [ -n "$found" ]; then
        echo "$f names folders a user could create:" >&2
        echo "$found" | sed 's/^/    /' >&2
        status=1
    fi
done
exit $status
