#!/bin/sh
# Runs every benchmark of this folder and prints their figures as one table (Markdown).
# Where the CPU time goes (the sampled functions and libraries) is written to
# <build>/bench_profile.txt.
#
#   tools/bench/run.sh [build folder]     (default: build)
set -eu
build=${1:-build}
bin=$build/bin
profile=$build/bench_profile.txt
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
# The game's programs log to files in the folder they run in.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$(cd "$(dirname "$0")/../.." && pwd)
case $bin in /*) ;; *) bin=$root/$bin ;; esac
case $profile in /*) ;; *) profile=$root/$profile ;; esac
cd "$scratch"

echo "Morvale benchmarks on $(uname -n), $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "| measure                                      |           figure | target       |"
echo "|----------------------------------------------|------------------|--------------|"
: > "$profile"
"$bin/play_frame_bench" null 2>> "$profile"
"$bin/play_frame_bench" gl 2>> "$profile"
"$bin/d3d9_draw_bench" 2>> "$profile"
"$bin/physics_step_bench" 2>> "$profile"
"$bin/level_load_bench" null 2>> "$profile"
"$bin/level_load_bench" gl 2>> "$profile"
"$bin/game_process_bench" final_level.slev 2>> "$profile"
echo
echo "Profiles: $profile"
