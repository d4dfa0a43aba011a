#!/usr/bin/env bash
# Starts the game many times in a row on a real X server (Xvfb of its own, with and without
# the openbox window manager) and counts the starts that fail: a non-zero exit, a crash
# report, a run that hangs (a message box nobody answers, say; killed after 130 s, since it
# may not end with SIGTERM), a log without "Successfull exit" or a start that draws nothing. Each failed run's output stays in the work folder.
# Needs xvfb and xdotool, and openbox for the starts with a window manager.
#
# The starts take turns as a player would meet a message box (the warning that full screen
# did not take, on a bare server): one answers it with Enter, one leaves it alone (the game
# answers it itself after MORVALE_BOX_WAIT_MS, set by -a), one stops the game with SIGTERM
# while it is up (or while the game runs, where no box shows), which must end the game
# within ten seconds and leave no box behind.
#
#   tools/x11-starts.sh [-n starts] [-d display] [-s WxH] [-w yes|no|both] [-f frames]
#                       [-a box-wait-ms] [-i input-script] [-b build folder] [-k work folder]
#
# Defaults: 100 starts, display :99, a 1024x768 screen, half of the starts under openbox,
# 30 frames each (MORVALE_QUIT_AFTER_FRAMES), a box left alone answered after 3000 ms, build/.
set -euo pipefail

starts=100
display=:99
screen=1024x768
wm=both
frames=30
box_wait=3000
script=
build=build
work=
while getopts "n:d:s:w:f:a:i:b:k:" option; do
    case $option in
        n) starts=$OPTARG ;;
        d) display=$OPTARG ;;
        s) screen=$OPTARG ;;
        w) wm=$OPTARG ;;
        f) frames=$OPTARG ;;
        a) box_wait=$OPTARG ;;
        i) script=$(realpath "$OPTARG") ;;
        b) build=$OPTARG ;;
        k) work=$OPTARG ;;
        *) sed -n '2,18p' "$0" >&2; exit 2 ;;
    esac
done

root=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build=$root/$build ;; esac
game=$build/bin/morvale
if [[ ! -x $game ]]; then
    echo "x11-starts: no game at $game (build the morvale and proc_art targets)" >&2
    exit 2
fi
work=${work:-$(mktemp -d /tmp/morvale-starts.XXXXXX)}
mkdir -p "$work"

server=
manager=
stop() {
    [[ -n $manager ]] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
    [[ -n $server ]] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    manager=
    server=
    return 0
}
trap stop EXIT
trap "exit 1" INT TERM

socket=/tmp/.X11-unix/X${display#:}
if [[ -e $socket ]]; then
    echo "x11-starts: display $display is taken (choose another with -d)" >&2
    exit 2
fi
Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
server=$!
for _ in $(seq 100); do
    [[ -S $socket ]] && break
    sleep 0.05
done
if [[ ! -S $socket ]] || ! kill -0 "$server" 2>/dev/null; then
    echo "x11-starts: Xvfb did not start on $display (see $work/xvfb.log)" >&2
    exit 2
fi

export DISPLAY=$display SDL_VIDEODRIVER=x11
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export MORVALE_QUIT_AFTER_FRAMES=$frames MORVALE_BOX_WAIT_MS=$box_wait
[[ -n $script ]] && export MORVALE_INPUT_SCRIPT=$script

with_manager() {
    case $wm in
        yes) return 0 ;;
        no) return 1 ;;
        *) (($1 % 2 == 0)) ;;
    esac
}

# The crash handler writes its reports next to the executable.
crash_reports() {
    find "$build/bin" -maxdepth 1 -name '*-crash-*.dmp' | wc -l
}

# The box takes the keyboard focus itself, even without a window manager.
box_focused() {
    [[ $(xdotool getwindowfocus getwindowname 2>/dev/null) == Warning ]]
}

# Where full screen does not take (no window manager) the game warns that it stays windowed;
# the warning is answered as a player would, with Enter.
answer_warning() {
    for _ in $(seq 300); do
        if box_focused; then
            xdotool key Return
            return
        fi
        sleep 0.1
    done
}

# SIGTERM to the game (the child of the timeout process $1) once the box is up, or after a
# few seconds of play where none shows. The game must be gone ten seconds later, and so must
# the box's process; what went wrong goes to the file $2.
stop_game() {
    local game= boxes
    for _ in $(seq 30); do
        game=${game:-$(pgrep -P "$1" || true)}
        [[ -n $game ]] && box_focused && break
        sleep 0.1
    done
    [[ -n $game ]] || return 0
    boxes=$(pgrep -P "$game" || true)
    kill -TERM "$game" 2>/dev/null || return 0
    for _ in $(seq 100); do
        kill -0 "$game" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$game" 2>/dev/null; then
        echo "still running 10 s after SIGTERM" >"$2"
        return 0
    fi
    sleep 0.2
    for box in $boxes; do
        if kill -0 "$box" 2>/dev/null; then
            echo "the box's process $box outlived the game" >"$2"
            kill -KILL "$box" 2>/dev/null || true
        fi
    done
}

kinds=(answered unattended sigterm)
declare -A tried=() broken=()
failed=0
for run in $(seq 1 "$starts"); do
    if with_manager "$run"; then
        if [[ -z $manager ]]; then
            openbox >"$work/openbox.log" 2>&1 &
            manager=$!
            sleep 0.3
        fi
        where=openbox
    else
        if [[ -n $manager ]]; then
            kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null || true
            manager=
        fi
        where=bare
    fi
    # Two starts of a kind in a row, so each kind meets both kinds of server.
    kind=${kinds[$(((run - 1) / 2 % 3))]}
    tried[$kind]=$((${tried[$kind]:-0} + 1))
    folder=$work/run_$run
    mkdir -p "$folder"
    before=$(crash_reports)
    status=0
    (
        cd "$folder"
        exec timeout -k 10 120 "$game" -log >out.txt 2>&1
    ) &
    runner=$!
    helper=
    case $kind in
        answered) answer_warning & helper=$! ;;
        sigterm) stop_game "$runner" "$folder/stop.txt" & helper=$! ;;
    esac
    wait "$runner" || status=$?
    if [[ -n $helper ]]; then
        [[ $kind == answered ]] && { kill "$helper" 2>/dev/null || true; }
        wait "$helper" 2>/dev/null || true
    fi
    after=$(crash_reports)
    # A start that lost the display runs on without drawing: that is a failure too.
    if ((status != 0)) || ((after != before)) || [[ -s $folder/stop.txt ]] ||
        ! grep -q "Successfull exit" "$folder/GameModule.log" 2>/dev/null ||
        grep -q "nothing will be drawn" "$folder/out.txt"; then
        failed=$((failed + 1))
        broken[$kind]=$((${broken[$kind]:-0} + 1))
        reason=$(cat "$folder/stop.txt" 2>/dev/null ||
            grep -m1 -h "Application terminating\|nothing will be drawn" "$folder/out.txt" ||
            true)
        echo "start $run ($where, $kind): FAILED, exit $status${reason:+: $reason}"
    else
        rm -rf "$folder"
    fi
done
for kind in "${kinds[@]}"; do
    echo "x11-starts: $kind: ${broken[$kind]:-0} of ${tried[$kind]:-0} failed"
done
echo "x11-starts: $failed of $starts starts failed ($screen, window manager: $wm, work: $work)"
((failed == 0))
