#!/usr/bin/env bash
# Builds the libFuzzer programs (preset "fuzz", clang) and runs each for the
# given number of seconds, one after the other, starting from its regression
# corpus. New inputs gather in build-fuzz/corpus/<target>; a finding is written
# to build-fuzz/findings/<target>/ and makes the script fail. Copy it into
# fuzz/regression/<target>/ once it is fixed.
#   scripts/fuzz.sh SECONDS [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_dispatch fuzz_setup_window fuzz_wav fuzz_settings fuzz_frame_parser fuzz_hex
    fuzz_parameter_file fuzz_slot_journal fuzz_font_names fuzz_board_profile)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

# Settings lines only count as too long past 4096 bytes; a few blocks or chunks
# are enough for the others, and shorter inputs run faster.
declare -A max_len=([fuzz_settings]=10000 [fuzz_dispatch]=512 [fuzz_setup_window]=512 [fuzz_frame_parser]=512)
# Qt and fontconfig fill their caches while the windows run: no leak check per
# input there (the check at exit still runs, with the tests' suppressions).
declare -A leaks=([fuzz_setup_window]=0)
# The settings and journal targets save a file per input; on a memory file system its sync is cheap.
[ -d /dev/shm ] && export TMPDIR=/dev/shm

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen QT_ACCESSIBILITY=0
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
summary=()
for target in "${targets[@]}"; do
    corpus="build-fuzz/corpus/$target"
    findings="build-fuzz/findings/$target"
    log="build-fuzz/fuzz-$target.log"
    mkdir -p "$corpus" "$findings"
    echo "== $target: ${seconds}s"
    if ! "build-fuzz/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -max_len="${max_len[$target]:-4096}" -detect_leaks="${leaks[$target]:-1}" -artifact_prefix="$findings/" \
        "$corpus" "fuzz/regression/$target" >"$log" 2>&1; then
        status=1
        echo "   FINDING: see $log and $findings/"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    summary+=("$target ${runs:-?} executions")
    tail -n 3 "$log" | sed 's/^/   /'
done
printf '%s\n' "${summary[@]}"
exit $status
