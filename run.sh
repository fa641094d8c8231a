#!/usr/bin/env bash
# Quick start for Camera Tenebrixor on Debian 12.
#
#   ./run.sh demo   install what is missing, build into ./build (Release) and
#                   run the plug-in on a headless host with a synthetic camera
#                   that drops to black twice: two next-clip messages arrive on
#                   UDP port 7000, or on a free port from 6000 to 9000 that the
#                   plug-in's "OSC Port" is moved to when 7000 is taken
#   ./run.sh test   install what is missing, build everything into ./build-ci
#                   with warnings as errors and run the whole test suite;
#                   cross-build the Windows DLLs (./build-ci-windows, MinGW-w64),
#                   check their exports and imports and run their tests under
#                   wine on a virtual X display; run the Linux suite again built
#                   with AddressSanitizer, LeakSanitizer and
#                   UndefinedBehaviorSanitizer (./build-ci-asan), and fuzz
#                   both plug-ins' plugMain for a minute in all
#                   (./build-ci-fuzz, clang)
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
# Only ./run.sh test needs these: the fuzzer is built with clang; the Windows
# DLLs are cross-built with MinGW-w64 and tested under wine, which draws through
# Mesa's GLX on a virtual X display; ffmpeg makes the test clips and xmllint
# checks the plots.
TEST_PACKAGES=(
	clang libclang-rt-14-dev
	g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 xvfb xauth libglx-mesa0
	ffmpeg libxml2-utils
)

# The plug-in modules: the demo builds them, the release archives hold them.
MODULES=(CameraTenebrixor TenebrixorStill)

JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

log() { printf '==> %s\n' "$*"; }

# Installs the packages given as arguments, or PACKAGES when none are given.
install_missing_packages() {
	if [ "$#" -eq 0 ]; then
		set -- "${PACKAGES[@]}"
	fi
	local missing=() package status
	for package in "$@"; do
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

# Prints the first UDP port, from 7000 (the plug-in's default "OSC Port") up to
# 9000 and then from 6000, that no socket on this machine is bound to, as the
# kernel lists them (the local_address column ends in the port, in hex); fails
# when all of them are taken.
free_osc_port() {
	local -A bound=()
	local table address port
	for table in /proc/net/udp /proc/net/udp6; do
		if [ -r "$table" ]; then
			while read -r _ address _; do
				if [[ "$address" == *:* ]]; then
					bound[$((16#${address##*:}))]=1
				fi
			done <"$table"
		fi
	done
	for port in $(seq 7000 9000) $(seq 6000 6999); do
		if [ -z "${bound[$port]:-}" ]; then
			echo "$port"
			return 0
		fi
	done
	return 1
}

# The "OSC Port" slider value that selects PORT: the plug-in takes
# round(slider x 3000) + 6000 in single precision, and six decimals of
# (PORT - 6000) / 3000 are far closer to it than the half step that rounding
# allows.
osc_port_slider() {
	local millionths=$(((($1 - 6000) * 1000000 + 1500) / 3000))
	printf '%d.%06d' $((millionths / 1000000)) $((millionths % 1000000))
}

demo() {
	install_missing_packages
	log "Building into ./build (Release)"
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTENEBRIXOR_BUILD_TESTS=OFF -DTENEBRIXOR_BUILD_BENCH=OFF
	cmake --build build --target "${MODULES[@]}" ffgl-host -j "$JOBS"
	log "What a host sees of build/CameraTenebrixor.so"
	build/ffgl-host info build/CameraTenebrixor.so

	# The host listens where the plug-in sends, on the port "OSC Port" shows;
	# a VJ host on this machine usually holds 7000.
	local port settings=()
	if ! port="$(free_osc_port)"; then
		echo "run.sh: every UDP port from 6000 to 9000 is taken; the plug-in has nowhere to send" >&2
		exit 1
	fi
	if [ "$port" -ne 7000 ]; then
		settings=(--set "OSC Port=$(osc_port_slider "$port")")
		log "UDP port 7000 is taken: the plug-in sends to port $port instead (--set \"${settings[1]}\")"
	fi
	log "Running it for 10 s on a synthetic camera that drops to black twice"
	build/ffgl-host run build/CameraTenebrixor.so --input synthetic "${settings[@]}"
}

# Sanitizer settings of the second pass and of the fuzzer: any report fails.
# The suppressions cover only the GL driver's own allocations (see the file).
export_sanitizer_options() {
	# intercept_tls_get_addr=0: GCC 12's LeakSanitizer misreads the dynamic TLS
	# blocks of dlopened libraries under this glibc and crashes in its tracer.
	export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:halt_on_error=1:intercept_tls_get_addr=0"
	export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
	export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan-gl-driver.supp:print_suppressions=0"
}

# Compares the files in a release archive (.tar.gz or .zip, listed with CMake's
# own reader) with the expected names under its top folder.
check_archive() {
	local archive="$1" top="$2"
	shift 2
	local listed expected
	listed="$(cmake -E tar tf "$archive" | grep -v '/$' | sort)"
	expected="$(printf "$top/%s\n" "$@" | sort)"
	if [ "$listed" != "$expected" ]; then
		printf 'run.sh: %s holds\n%s\ninstead of\n%s\n' "$archive" "$listed" "$expected" >&2
		exit 1
	fi
	log "$archive holds $*"
}

run_tests() {
	install_missing_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
	log "Building into ./build-ci with warnings as errors"
	cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON
	cmake --build build-ci -j "$JOBS"
	log "Running the tests"
	ctest --test-dir build-ci --output-on-failure --timeout 300
	log "Making the Linux release archive"
	cmake --build build-ci --target package
	local version
	version="$(build-ci/ffgl-host --version | cut -d' ' -f2)"
	check_archive "build-ci/CameraTenebrixor-$version-Linux-x86_64.tar.gz" "CameraTenebrixor-$version-Linux-x86_64" \
		"${MODULES[@]/%/.so}" ffgl-host README.md LICENSE

	log "Cross-building the Windows plug-ins into ./build-ci-windows (MinGW-w64)"
	cmake -S . -B build-ci-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON
	cmake --build build-ci-windows -j "$JOBS"
	log "Checking the DLLs' exports and imports; running their tests under wine"
	xvfb-run -a -s "-screen 0 640x480x24" \
		ctest --test-dir build-ci-windows --output-on-failure --timeout 300
	log "Making the Windows release archive"
	cmake --build build-ci-windows --target package
	check_archive "build-ci-windows/CameraTenebrixor-$version-win64.zip" "CameraTenebrixor-$version-win64" \
		"${MODULES[@]/%/.dll}" ffgl-host.exe README.md LICENSE

	log "Building into ./build-ci-asan with sanitizers (no benchmarks)"
	cmake -S . -B build-ci-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON \
		-DTENEBRIXOR_SANITIZE=ON -DTENEBRIXOR_BUILD_BENCH=OFF
	cmake --build build-ci-asan -j "$JOBS"
	log "Running the tests under the sanitizers"
	(
		export_sanitizer_options
		ctest --test-dir build-ci-asan --output-on-failure --timeout 600
	)

	log "Building the plugMain fuzzers into ./build-ci-fuzz (clang)"
	CC=clang CXX=clang++ cmake -S . -B build-ci-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTENEBRIXOR_BUILD_FUZZ=ON -DTENEBRIXOR_SANITIZE=ON \
		-DTENEBRIXOR_BUILD_TESTS=OFF -DTENEBRIXOR_BUILD_BENCH=OFF -DTENEBRIXOR_BUILD_EXAMPLES=OFF
	cmake --build build-ci-fuzz --target PlugMainFuzzer StillPlugMainFuzzer -j "$JOBS"
	(
		export_sanitizer_options
		# Both plug-ins share one minute and one seed corpus; new inputs go to
		# scratch folders, fuzz/corpus is only read.
		for fuzzer in PlugMainFuzzer StillPlugMainFuzzer; do
			log "Fuzzing $fuzzer for 30 s"
			rm -rf "build-ci-fuzz/corpus-$fuzzer" "build-ci-fuzz/artifacts-$fuzzer"
			mkdir -p "build-ci-fuzz/corpus-$fuzzer" "build-ci-fuzz/artifacts-$fuzzer"
			"build-ci-fuzz/fuzz/$fuzzer" -max_total_time=30 -timeout=20 -rss_limit_mb=4096 \
				-print_final_stats=1 -artifact_prefix="build-ci-fuzz/artifacts-$fuzzer/" \
				"build-ci-fuzz/corpus-$fuzzer" fuzz/corpus
		done
	)
}

case "${1:-}" in
	demo) demo ;;
	test) run_tests ;;
	*)
		echo "usage: ./run.sh demo | test" >&2
		exit 2
		;;
esac
