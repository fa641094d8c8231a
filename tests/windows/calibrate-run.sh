#!/usr/bin/env sh
# Runs the Windows build's `ffgl-host calibrate` (the command given, e.g. under
# wine) on two tiny recordings made here, 2x2 pixels and 3 frames each: a white
# live picture and limited-range black (16/255, luma 6.3 %). It must recommend
# a threshold of 6.8 %, as the Linux build does.
#   calibrate-run.sh EMULATOR ffgl-host.exe
set -eu
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
for i in 1 2 3 4 5 6 7 8 9 10 11 12; do printf '\377\377\377\377'; done >"$dir/live.rgba"
for i in 1 2 3 4 5 6 7 8 9 10 11 12; do printf '\020\020\020\377'; done >"$dir/dropout.rgba"
out="$("$@" calibrate --live "$dir/live.rgba" --dropout "$dir/dropout.rgba" --size 2x2 --json)"
echo "$out"
case "$out" in
*'"threshold":0.068,'*) ;;
*) exit 1 ;;
esac
