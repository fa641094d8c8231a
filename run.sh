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
#
# The test command writes what the builds and fuzzers print to logs/ in each
# build folder and shows the end of a log whose step failed; the tests' own
# output is shown in full for the tests that fail. A step that fails does not
# stop the steps that do not need it. The command ends with one line a stage
# and then "P passed, F failed", counting each build, archive check, test and
# fuzzer.
set -euo pipefail

cd "$(dirname "$0")"

PACKAGES=(
	build-essential cmake pkg-config binutils
	libgtest-dev libgmock-dev googletest libbenchmark-dev
	libegl-dev libgl-dev libopengl-dev libegl-mesa0 libgl1-mesa-dri
	liblo-tools
	libcli11-dev nlohmann-json3-dev
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
MODULES=(CameraTenebrixor TenebrixorWatch)
FUZZERS=(PlugMainFuzzer WatchPlugMainFuzzer)

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
# intercept_tls_get_addr=0: GCC 12's LeakSanitizer misreads the dynamic TLS
# blocks of dlopened libraries under this glibc and crashes in its tracer.
SANITIZER_ENV=(
	ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:halt_on_error=1:intercept_tls_get_addr=0"
	UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
	LSAN_OPTIONS="suppressions=$PWD/.ci/lsan-gl-driver.supp:print_suppressions=0"
)

# The symbolizer for the clang-built fuzzer's reports: llvm-symbolizer where one
# is installed (Debian keeps clang's own in /usr/lib/llvm-N/bin, on PATH only
# with the llvm package), otherwise binutils' addr2line. Left to itself, the
# runtime falls back to /usr/bin/llvm-symbolizer-N, which only llvm-N installs,
# and prints "invalid path to external symbolizer" and unnamed frames.
fuzzer_symbolizer() {
	local candidate
	for candidate in "$(command -v llvm-symbolizer || true)" \
		"/usr/lib/llvm-$(clang -dumpversion | cut -d. -f1 || true)/bin/llvm-symbolizer"; do
		if [ -x "$candidate" ]; then
			echo "$candidate"
			return
		fi
	done
	command -v addr2line
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
		return 1
	fi
	echo "$archive holds $*"
}

# The steps of ./run.sh test. Each runs as the condition of an if, where bash
# ignores set -e, so their commands are chained with &&.

build_linux() {
	cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON &&
		cmake --build build-ci -j "$JOBS"
}

build_windows() {
	cmake -S . -B build-ci-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON &&
		cmake --build build-ci-windows -j "$JOBS"
}

build_sanitized() {
	cmake -S . -B build-ci-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBRIXOR_WERROR=ON \
		-DTENEBRIXOR_SANITIZE=ON -DTENEBRIXOR_BUILD_BENCH=OFF &&
		cmake --build build-ci-asan -j "$JOBS"
}

build_fuzzers() {
	CC=clang CXX=clang++ cmake -S . -B build-ci-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTENEBRIXOR_BUILD_FUZZ=ON -DTENEBRIXOR_SANITIZE=ON \
		-DTENEBRIXOR_BUILD_TESTS=OFF -DTENEBRIXOR_BUILD_BENCH=OFF -DTENEBRIXOR_BUILD_EXAMPLES=OFF &&
		cmake --build build-ci-fuzz --target "${FUZZERS[@]}" -j "$JOBS"
}

# Both archives are named after the version the Linux ffgl-host reports.
release_version() {
	build-ci/ffgl-host --version | cut -d' ' -f2
}

package_linux() {
	local version
	version="$(release_version)" &&
		cmake --build build-ci --target package &&
		check_archive "build-ci/CameraTenebrixor-$version-Linux-x86_64.tar.gz" \
			"CameraTenebrixor-$version-Linux-x86_64" "${MODULES[@]/%/.so}" ffgl-host README.md LICENSE
}

package_windows() {
	local version
	version="$(release_version)" &&
		cmake --build build-ci-windows --target package &&
		check_archive "build-ci-windows/CameraTenebrixor-$version-win64.zip" \
			"CameraTenebrixor-$version-win64" "${MODULES[@]/%/.dll}" ffgl-host.exe README.md LICENSE
}

# Fuzzes one plug-in's plugMain for 30 s: both share one minute and one seed
# corpus; new inputs go to scratch folders, fuzz/corpus is only read.
fuzz() {
	local fuzzer="$1" dir=build-ci-fuzz
	rm -rf "$dir/corpus-$fuzzer" "$dir/artifacts-$fuzzer" &&
		mkdir -p "$dir/corpus-$fuzzer" "$dir/artifacts-$fuzzer" &&
		env "${SANITIZER_ENV[@]}" ASAN_SYMBOLIZER_PATH="$(fuzzer_symbolizer)" "$dir/fuzz/$fuzzer" -max_total_time=30 -timeout=20 -rss_limit_mb=4096 \
			-print_final_stats=1 -artifact_prefix="$dir/artifacts-$fuzzer/" \
			"$dir/corpus-$fuzzer" fuzz/corpus
}

# What ./run.sh test has counted: the summary lines of the stages done, the
# totals over them, and the counts and notes of the stage being run (notes say
# what failed or did not run).
SUMMARY=()
PASSED=0
FAILED=0
STAGE=""
STAGE_PASSED=0
STAGE_FAILED=0
STAGE_NOTES=()

begin_stage() {
	STAGE="$1"
	STAGE_PASSED=0
	STAGE_FAILED=0
	STAGE_NOTES=()
}

# count PASSED FAILED [NOTE...]
count() {
	STAGE_PASSED=$((STAGE_PASSED + $1))
	STAGE_FAILED=$((STAGE_FAILED + $2))
	shift 2
	STAGE_NOTES+=("$@")
}

end_stage() {
	local verdict=ok line notes
	if [ "$STAGE_FAILED" -gt 0 ]; then
		verdict=FAILED
	elif [ "$STAGE_PASSED" -eq 0 ]; then
		verdict="not run"
	fi
	line="$(printf '%-11s %-8s %d passed, %d failed' "$STAGE" "$verdict" "$STAGE_PASSED" "$STAGE_FAILED")"
	if [ "${#STAGE_NOTES[@]}" -gt 0 ]; then
		printf -v notes '%s; ' "${STAGE_NOTES[@]}"
		line+=": ${notes%; }"
	fi
	SUMMARY+=("$line")
	PASSED=$((PASSED + STAGE_PASSED))
	FAILED=$((FAILED + STAGE_FAILED))
}

# Lines of a failed step's log shown on the terminal.
TAIL_LINES=60

# logged NAME LOG COMMAND...: runs COMMAND with its output in LOG and counts it
# as one item of the stage; when it fails, shows the end of LOG.
logged() {
	local name="$1" file="$2"
	shift 2
	mkdir -p "$(dirname "$file")"
	if "$@" >"$file" 2>&1; then
		count 1 0
		return 0
	fi
	printf 'run.sh: %s failed; the last lines of %s:\n' "$name" "$file" >&2
	tail -n "$TAIL_LINES" "$file" >&2
	printf 'run.sh: (end of %s)\n' "$file" >&2
	count 0 1 "$name failed, see $file"
	return 1
}

# run_ctest NAME DIR TIMEOUT [COMMAND...]: runs the tests of build folder DIR
# (through COMMAND, such as xvfb-run) and counts them into the stage. The output
# goes to the terminal, a failing test's own output included, and to
# DIR/logs/ctest.log, whose closing line "N% tests passed, F tests failed out
# of T" gives the counts: it counts a test that could not start as failed,
# where ctest's JUnit report lists it as skipped. Tests listed as skipped
# count as neither passed nor failed.
run_ctest() {
	local name="$1" dir="$2" timeout="$3"
	shift 3
	local file="$dir/logs/ctest.log" line failed total skipped failures=() test notes=()
	mkdir -p "$dir/logs"
	"$@" ctest --test-dir "$dir" --output-on-failure --timeout "$timeout" 2>&1 | tee "$file" || true
	line="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+$' "$file" | tail -n 1 || true)"
	if [ -z "$line" ]; then
		count 0 1 "$name: ctest gave no result, see $file"
		return
	fi
	total="${line##* }"
	failed="${line#*, }"
	failed="${failed%% *}"
	skipped="$(sed -n '/^The following tests did not run:$/,/^$/p' "$file" | grep -c ' (Skipped)$' || true)"
	while IFS= read -r test; do
		failures+=("$test")
	done < <(sed -n '/^The following tests FAILED:$/,/^$/s/^[[:space:]]*[0-9]* - \(.*\) ([^()]*)$/\1/p' "$file")
	if [ "${#failures[@]}" -gt 3 ]; then
		failures=("${failures[@]:0:3}" "and $((${#failures[@]} - 3)) more")
	fi
	if [ "${#failures[@]}" -gt 0 ]; then
		printf -v test '%s, ' "${failures[@]}"
		notes+=("$name failed: ${test%, }")
	elif [ "$failed" -gt 0 ]; then
		notes+=("$name failed, see $file")
	fi
	if [ "$skipped" -gt 0 ]; then
		notes+=("$skipped of the $name skipped")
	fi
	count $((total - failed - skipped)) "$failed" "${notes[@]}"
}

run_tests() {
	install_missing_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"

	local linux_built=false
	begin_stage build
	log "Building into ./build-ci with warnings as errors (output in build-ci/logs/build.log)"
	if logged "the Linux build" build-ci/logs/build.log build_linux; then
		linux_built=true
		log "Making the Linux release archive (output in build-ci/logs/package.log)"
		logged "the Linux release archive" build-ci/logs/package.log package_linux || true
	fi
	end_stage

	begin_stage tests
	if [ "$linux_built" = true ]; then
		log "Running the tests"
		run_ctest "Linux tests" build-ci 300
	else
		count 0 0 "the Linux build failed"
	fi
	end_stage

	begin_stage Windows
	log "Cross-building the Windows plug-ins into ./build-ci-windows, MinGW-w64 (output in build-ci-windows/logs/build.log)"
	if logged "the Windows cross-build" build-ci-windows/logs/build.log build_windows; then
		log "Checking the DLLs' exports and imports; running their tests under wine"
		run_ctest "Windows tests" build-ci-windows 300 xvfb-run -a -s "-screen 0 640x480x24"
		if [ "$linux_built" = true ]; then
			log "Making the Windows release archive (output in build-ci-windows/logs/package.log)"
			logged "the Windows release archive" build-ci-windows/logs/package.log package_windows || true
		else
			count 0 0 "release archive not checked: it is named after the Linux ffgl-host's version"
		fi
	fi
	end_stage

	begin_stage sanitizers
	log "Building into ./build-ci-asan with sanitizers, no benchmarks (output in build-ci-asan/logs/build.log)"
	if logged "the sanitizer build" build-ci-asan/logs/build.log build_sanitized; then
		log "Running the tests under the sanitizers"
		run_ctest "sanitizer tests" build-ci-asan 600 env "${SANITIZER_ENV[@]}"
	fi
	end_stage

	begin_stage fuzzing
	log "Building the plugMain fuzzers into ./build-ci-fuzz, clang (output in build-ci-fuzz/logs/build.log)"
	if logged "the fuzzer build" build-ci-fuzz/logs/build.log build_fuzzers; then
		local fuzzer
		for fuzzer in "${FUZZERS[@]}"; do
			log "Fuzzing $fuzzer for 30 s (output in build-ci-fuzz/logs/$fuzzer.log)"
			logged "$fuzzer" "build-ci-fuzz/logs/$fuzzer.log" fuzz "$fuzzer" || true
		done
	fi
	end_stage

	printf '\n==> Summary\n'
	printf '%s\n' "${SUMMARY[@]}"
	printf '%d passed, %d failed\n' "$PASSED" "$FAILED"
	if [ "$FAILED" -gt 0 ]; then
		exit 1
	fi
}

case "${1:-}" in
	demo) demo ;;
	test) run_tests ;;
	*)
		echo "usage: ./run.sh demo | test" >&2
		exit 2
		;;
esac
