#!/usr/bin/env bash
# Quick start for Camera Tenebrixor on Debian 12.
#
#   ./run.sh demo   install what is missing, build into ./build (Release) and
#                   show what a host sees of the plug-in module
#   ./run.sh test   install what is missing, build everything into ./build-ci
#                   with warnings as errors and run the whole test suite
#
# Packages are installed with apt-get only when dpkg reports them missing, which
# needs root (or sudo). The exit status is non-zero when any step fails.
set -euo pipefail

cd "$(dirname "$0")"

PACKAGES=(
	build-essential cmake pkg-config binutils
	libgtest-dev libgmock-dev googletest libbenchmark-dev
	libegl-dev libgl-dev libopengl-dev libegl-mesa0 libgl1-mesa-dri
	liblo-tools
)

JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

log() { printf '==> %s\n' "$*"; }

install_missing_packages() {
	local missing=() package status
	for package in "${PACKAGES[@]}"; do
		status="$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)"
		if [ "$status" != "install ok installed" ]; then
			missing+=("$package")
		fi
	done
	if [ "${#missing[@]}" -eq 0 ]; then
		return
	fi

	local sudo=()
	if [ "$(id -u)" -ne 0 ]; then
		if command -v sudo >/dev/null 2>&1; then
			sudo=(sudo)
		else
			echo "run.sh: missing packages (${missing[*]}); run as root to install them" >&2
			exit 1
		fi
	fi
	log "Installing ${missing[*]}"
	"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
	"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

demo() {
	install_missing_packages
	log "Building into ./build (Release)"
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTENEBRIXOR_BUILD_TESTS=OFF -DTENEBRIXOR_BUILD_BENCH=OFF
	cmake --build build --target CameraTenebrixor ffgl-host -j "$JOBS"
	log "What a host sees of build/CameraTenebrixor.so"
	build/ffgl-host info build/CameraTenebrixor.so
}

run_tests() {
	install_missing_packages
	log "Building into ./build-ci with warnings as errors"
	cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON
	cmake --build build-ci -j "$JOBS"
	log "Running the tests"
	ctest --test-dir build-ci --output-on-failure --timeout 300
}

case "${1:-}" in
	demo) demo ;;
	test) run_tests ;;
	*)
		echo "usage: ./run.sh demo | test" >&2
		exit 2
		;;
esac
