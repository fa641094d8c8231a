#!/usr/bin/env sh
# osc-peer-run.sh PORT EXPECTED PROGRAM [ARGUMENTS...]
#
# Runs PROGRAM while liblo's oscdump, an independent OSC implementation on the
# Linux side, listens on PORT; passes when PROGRAM passes and oscdump printed a
# line containing EXPECTED. PROGRAM finds the port in TENEBRIXOR_OSC_PEER_PORT.
set -eu

port="$1"
expected="$2"
shift 2

received="$(mktemp)"
trap 'kill "$peer" 2>/dev/null || true; rm -f "$received"' EXIT
oscdump -L "$port" >"$received" 2>&1 &
peer=$!

TENEBRIXOR_OSC_PEER_PORT="$port" "$@"

# oscdump writes each message as it arrives (line buffered); the program has
# ended, so everything it sent is in.
kill "$peer" 2>/dev/null || true
wait "$peer" 2>/dev/null || true
if ! grep -qF -- "$expected" "$received"; then
	echo "osc-peer-run.sh: oscdump did not receive \"$expected\"; it printed:" >&2
	cat "$received" >&2
	exit 1
fi
echo "oscdump received: $(grep -F -- "$expected" "$received" | head -n 1)"
