#!/usr/bin/env bash
# Ends a gpsfake started with setsid (its process group) and removes the
# shared memory its gpsd leaves behind (gpsfake keys it by the port).
# Killed outright: gpsfake's own SIGTERM handler can spin for ever trying
# to reap the gpsd the same signal ended.
# Usage: stop-gpsfake.sh PID PORT
[ -n "${1:-}" ] && kill -KILL -- "-$1" 2>/dev/null
[ -n "${2:-}" ] && ipcrm -M "$(printf 0x4770%04X "$2")" 2>/dev/null
exit 0
