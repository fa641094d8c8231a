#!/usr/bin/env sh
# Runs a Windows program of the cross build under wine:
#   wine-run.sh PROGRAM.exe [ARGUMENTS...]
#   wine-run.sh --init      sets up the wine prefix and returns
# The prefix is ./wineprefix in the working directory unless WINEPREFIX names
# one. Drawing tests need an X display (DISPLAY; CI runs them under xvfb-run).
set -eu

WINEPREFIX="${WINEPREFIX:-$PWD/wineprefix}"
WINEDEBUG="${WINEDEBUG:--all}"
# No prompts to install .NET or the HTML engine into a new prefix.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

# Debian's wine64 package puts the loader outside PATH.
for candidate in wine64 wine /usr/lib/wine/wine64; do
	if command -v "$candidate" >/dev/null 2>&1; then
		wine="$(command -v "$candidate")"
		break
	fi
done
if [ -z "${wine:-}" ]; then
	echo "wine-run.sh: wine is not installed (Debian: wine64)" >&2
	exit 1
fi

if [ "${1:-}" = "--init" ]; then
	"$wine" wineboot --init
	for server in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
		if command -v "$server" >/dev/null 2>&1; then
			"$server" -w
			break
		fi
	done
	exit 0
fi

exec "$wine" "$@"
