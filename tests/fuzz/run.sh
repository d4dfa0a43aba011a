#!/usr/bin/env bash
# Runs one fuzz target of a build configured with -DMORVALE_FUZZ=ON:
#   tests/fuzz/run.sh <build folder> <target> [seconds] [libFuzzer options...]
#   tests/fuzz/run.sh <build folder> <target> <input file>...
# seconds 0 (the default) runs until stopped; with input files, the target runs each of them
# once and reports what it finds. The corpus grows in <build>/fuzz/corpus/<target>/
# on top of the target's seeds; crashes, leaks, timeouts and out-of-memory inputs are kept in
# <build>/fuzz/crashes/<target>/. Exits non-zero when the target found something.
#
# A crash of a class listed for the target in tests/fuzz/known-crashes.txt (a known fault
# waiting for its fix) does not end the run: its input goes to crashes/<target>/known/ and
# the target goes on for the time left. MORVALE_FUZZ_KNOWN_FAULTS=1 stops at those too.
set -euo pipefail

if (($# < 2)); then
    echo "usage: $0 <build folder> <target> [seconds] [libFuzzer options...]" >&2
    exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
name=$2
shift 2
inputs=()
while (($# > 0)) && [[ -f "$1" ]]; do
    inputs+=("$(cd "$(dirname "$1")" && pwd)/$(basename "$1")")
    shift
done
seconds=0
if ((${#inputs[@]} == 0 && $# > 0)); then
    seconds=$1
    shift
fi

fuzz="$build/fuzz"
executable="$fuzz/${name}_fuzz"
if [[ ! -x "$executable" ]]; then
    echo "$executable is not built: cmake --build $1 --target morvale_fuzz" >&2
    exit 2
fi

corpus="$fuzz/corpus/$name"
crashes="$fuzz/crashes/$name"
mkdir -p "$corpus" "$crashes"

folders=("$corpus")
for seeds in "$source_dir/tests/fuzz/seeds/$name" "$fuzz/seeds/$name"; do
    [[ -d "$seeds" ]] && folders+=("$seeds")
done
if [[ -f "$fuzz/$name.seeds" ]]; then
    while IFS= read -r seeds; do
        [[ -n "$seeds" && -d "$seeds" ]] && folders+=("$seeds")
    done <"$fuzz/$name.seeds"
fi

# An input may run 10 s. libFuzzer looks at the running input only every timeout/2 + 1
# seconds, so an input is seen up to that much after its timeout: -timeout=10 let a 16 s
# input pass. With 6 it is seen at the latest at 6 + 4 s, so every input of 10 s or more is
# a timeout.
timeout=6
options=(-timeout=$timeout -rss_limit_mb=2560 -artifact_prefix="$crashes/" -print_final_stats=1)
if [[ -f "$source_dir/tests/fuzz/$name.dict" ]]; then
    options+=(-dict="$source_dir/tests/fuzz/$name.dict")
fi

# Targets run in a folder of their own: a script or a reader that writes files writes them there.
work="$fuzz/work/$name"
mkdir -p "$work"
cd "$work"
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="suppressions=$source_dir/tests/fuzz/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
if ((${#inputs[@]} > 0)); then
    exec "$executable" -timeout=$timeout -rss_limit_mb=2560 "$@" "${inputs[@]}" </dev/null
fi

# The known classes of this target: extended regular expressions, each matched against the
# first frame of a crash report that is not the sanitizer's, libFuzzer's or the C library's
# abort path.
known=()
if [[ -z "${MORVALE_FUZZ_KNOWN_FAULTS:-}" && -f "$source_dir/tests/fuzz/known-crashes.txt" ]]; then
    while read -r target pattern; do
        [[ "$target" == "$name" && -n "$pattern" ]] && known+=("$pattern")
    done < <(grep -v '^#' "$source_dir/tests/fuzz/known-crashes.txt")
fi

# Prints the pattern the report's crash matches; fails when it matches none.
known_class() {
    local report=$1 frame pattern
    grep -qE 'ERROR: AddressSanitizer: (SEGV|stack-overflow)|ERROR: libFuzzer: deadly signal|runtime error:' "$report" || return 1
    grep -qE 'ERROR: (LeakSanitizer|libFuzzer: (timeout|out-of-memory))|memory bound exceeded' "$report" && return 1
    frame=$(grep -E '^ *#[0-9]+ 0x' "$report" |
        grep -vE ' in (__sanitizer|__asan|__ubsan|__interceptor|__GI_|__libc|__assert|raise|abort|fuzzer::|__pthread|pthread_kill)' |
        grep -vE 'libc\.so|libclang_rt' | head -n 1)
    for pattern in "${known[@]}"; do
        if [[ "$frame" =~ $pattern ]]; then
            echo "$pattern"
            return 0
        fi
    done
    return 1
}

report=$(mktemp)
trap 'rm -f "$report"' EXIT
start=$SECONDS
restarts=0
while true; do
    limit=()
    if ((seconds > 0)); then
        left=$((seconds - (SECONDS - start)))
        ((left > 0)) || exit 0
        limit=(-max_total_time="$left")
    fi
    status=0
    "$executable" "${options[@]}" "${limit[@]}" "$@" "${folders[@]}" </dev/null 2>&1 |
        tee "$report" || status=$?
    ((status == 0)) && exit 0
    ((${#known[@]} > 0)) || exit "$status"
    class=$(known_class "$report") || exit "$status"
    artifact=$(grep -oE 'Test unit written to .*' "$report" | sed 's/^Test unit written to //' | tail -n 1)
    if [[ -n "$artifact" && -f "$artifact" ]]; then
        mkdir -p "$crashes/known"
        mv "$artifact" "$crashes/known/"
    fi
    restarts=$((restarts + 1))
    echo "run.sh: known crash class ($class), going on (restart $restarts)"
    ((restarts < 100)) || exit "$status"
done
