#!/usr/bin/env bash
# Runs one fuzz target of a build configured with -DMORVALE_FUZZ=ON:
#   tests/fuzz/run.sh <build folder> <target> [seconds] [libFuzzer options...]
#   tests/fuzz/run.sh <build folder> <target> <input file>...
# seconds 0 (the default) runs until stopped; with input files, the target runs each of them
# once and reports what it finds. The corpus grows in <build>/fuzz/corpus/<target>/
# on top of the target's seeds; crashes, leaks, timeouts and out-of-memory inputs are kept in
# <build>/fuzz/crashes/<target>/. Exits non-zero when the target found something.
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

options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560
    -artifact_prefix="$crashes/" -print_final_stats=1)
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
    exec "$executable" -timeout=10 -rss_limit_mb=2560 "$@" "${inputs[@]}" </dev/null
fi
exec "$executable" "${options[@]}" "$@" "${folders[@]}" </dev/null
