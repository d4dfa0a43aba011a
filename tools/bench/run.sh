#!/bin/sh
# Runs every benchmark of this folder and prints their figures as one table (Markdown), each
# row with the command that measured it (run in the output folder, programs from the build
# folder's bin). A figure is a row a benchmark prints with bench::printRow
# (tools/bench/bench_figures.h); a benchmark's other output, such as where its CPU time goes,
# is written to bench_profile.txt. The benchmarks write only under the output folder (the
# game's log files, the process benchmark's input script): by default a fresh temporary
# folder, which is kept and named at the end.
#
#   tools/bench/run.sh [build folder [output folder]]     (default: build, a fresh folder)
set -eu
build=${1:-build}
out=${2:-$(mktemp -d "${TMPDIR:-/tmp}/morvale_bench.XXXXXX")}
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$build/bin
case $bin in /*) ;; *) bin=$root/$bin ;; esac
mkdir -p "$out"
out=$(cd "$out" && pwd)
profile=$out/bench_profile.txt
cd "$out"

# One benchmark: its rows get the command as a last column, everything else goes to the
# profile. A benchmark that fails stops the script.
bench() {
    command="$*"
    echo "== $command" >> "$profile"
    "$bin/$@" > rows.txt 2>> "$profile"
    while IFS= read -r line; do
        case $line in
            "| "*) printf '%s %s |\n' "$line" "\`$command\`" ;;
            *) printf '%s\n' "$line" >> "$profile" ;;
        esac
    done < rows.txt
    rm -f rows.txt
}

echo "Morvale benchmarks on $(uname -n), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "| measure                                      |           figure | target       | command |"
echo "|----------------------------------------------|------------------|--------------|---------|"
: > "$profile"
# The play frame; its overdraw rows belong here too.
bench play_frame_bench null
bench play_frame_bench gl
# The draw path through the device against plain OpenGL: its ratios are rows of this one.
bench d3d9_draw_bench
# The physics step against the same ODE calls made directly, from each start.
bench physics_step_bench 3000
bench level_load_bench null
bench level_load_bench gl
bench weld_bench
bench game_process_bench --folder game_process final_level.slev
echo
echo "Profiles: $profile"
