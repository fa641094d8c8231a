#!/usr/bin/env sh
# osc-peer-run.sh EXPECTED PROGRAM [ARGUMENTS...]
#
# Runs PROGRAM while liblo's oscdump, an independent OSC implementation on the
# Linux side, listens on a free UDP port of the plug-in's range (6000 to 9000);
# passes when PROGRAM passes and oscdump printed a line containing EXPECTED.
# PROGRAM finds the port in TENEBRIXOR_OSC_PEER_PORT. A VJ host on the same
# machine usually holds 7000, so the search starts at a port that differs from
# run to run and moves on from any port oscdump cannot listen on.
set -eu

expected="$1"
shift

received="$(mktemp)"
peer=""
trap 'if [ -n "$peer" ]; then kill "$peer" 2>/dev/null || true; fi; rm -f "$received"' EXIT

port=$((6000 + $(od -An -N2 -tu2 /dev/urandom) % 3001))
for try in 1 2 3 4 5 6 7 8; do
	oscdump -L "$port" >"$received" 2>&1 &
	peer=$!
	# liblo reports a port it cannot bind at once and exits.
	sleep 0.2
	if kill -0 "$peer" 2>/dev/null && ! grep -q "server error" "$received"; then
		break
	fi
	wait "$peer" 2>/dev/null || true
	peer=""
	port=$((port == 9000 ? 6000 : port + 1))
done
if [ -z "$peer" ]; then
	echo "osc-peer-run.sh: oscdump found no free port to listen on" >&2
	exit 1
fi

TENEBRIXOR_OSC_PEER_PORT="$port" "$@"

# oscdump writes each message as it arrives (line buffered); the program has
# ended, so everything it sent is in.
kill "$peer" 2>/dev/null || true
wait "$peer" 2>/dev/null || true
if ! grep -qF -- "$expected" "$received"; then
	echo "osc-peer-run.sh: oscdump on port $port did not receive \"$expected\"; it printed:" >&2
	cat "$received" >&2
	exit 1
fi
echo "oscdump on port $port received: $(grep -F -- "$expected" "$received" | head -n 1)"
