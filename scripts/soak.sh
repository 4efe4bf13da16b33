#!/usr/bin/env bash
# Soak run: the real game in a virtual X server with a scripted player for a
# while (600 s unless a duration in seconds is given), not part of CI.
#
#   scripts/soak.sh [seconds]
#
# The game plays in a temporary folder holding a copy of game/DATA whose
# settings make the board 2 x 2: turning its only block three times the same
# way solves any deal, so every round ends in a solved board. Rounds take
# turns: one deals with Enter, asks for help with F1 and, the best result
# removed, enters a name for the new best; the other uses the mouse for
# everything, turns the other way and, the best result set to one move, only
# closes the congratulation. Buttons are held for 100 ms as a player would.
#
# Reported: the peak RSS of each minute and the process's high-water mark.
# Fails when the last minute's peak exceeds the first minute's by more than
# SOAK_MAX_GROWTH_KB (4096), on any error line in the game's log or standard
# error, on a fault report (ehslog.txt), when the game does not quit cleanly,
# or when a round does not end as it should (the player lost track).
#
# SOAK_EXE runs that executable instead of building build-release; SOAK_KEEP=1
# keeps the play folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
duration=${1:-600}
[[ $duration =~ ^[0-9]+$ ]] && ((duration >= 10)) || { echo "usage: $0 [seconds >= 10]" >&2; exit 2; }
interval=60
((duration >= 120)) || interval=$((duration / 4))
max_growth_kb=${SOAK_MAX_GROWTH_KB:-4096}

# Everything below runs inside the virtual X server.
if [[ -z ${SOAK_IN_X:-} ]]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "soak: $tool is missing (Debian packages xvfb, xdotool)" >&2; exit 2; }
  done
  exe=${SOAK_EXE:-}
  if [[ -z $exe ]]; then
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTRAK_TESTS=OFF -DOSTRAK_BENCH=OFF >/dev/null
    nice -n 10 cmake --build build-release -j 2 --target tavrokavel >/dev/null
    exe=$root/build-release/game/tavrokavel
  fi
  exec env SOAK_IN_X=1 SOAK_EXE="$(realpath "$exe")" \
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$duration"
fi

play=$(mktemp -d /tmp/tavrokavel-soak.XXXXXX)
game_pid=""
cleanup() {
  if [[ -n $game_pid ]] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid"; wait "$game_pid" 2>/dev/null || true; fi
  if [[ ${SOAK_KEEP:-0} == 1 ]]; then echo "soak: play folder kept in $play"; else rm -rf "$play"; fi
}
trap cleanup EXIT

cp -r "$root/game/DATA" "$play/DATA"
mkdir "$play/data"
sed -i 's/sizex="[0-9]*"/sizex="2"/; s/sizey="[0-9]*"/sizey="2"/' "$play/DATA/settings.xdat"
grep -q 'sizex="2" sizey="2"' "$play/DATA/settings.xdat" || { echo "soak: cannot make the board 2 x 2" >&2; exit 1; }

cd "$play"
OSTRAK2D_WINDOWED=1 SDL_AUDIODRIVER=dummy nice -n 10 "$SOAK_EXE" >stdout.txt 2>stderr.txt &
game_pid=$!
window=$(timeout 60 xdotool search --sync --pid "$game_pid" --name TavroKavel | head -n 1)
[[ -n $window ]] || { echo "soak: the game's window did not appear" >&2; exit 1; }
xdotool windowmove "$window" 0 0
sleep 3  # the main window slides in

# Peak RSS of each interval, from VmRSS read every half second.
sample() {
  local start=$SECONDS rss
  while kill -0 "$game_pid" 2>/dev/null; do
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null) || break
    [[ -n $rss ]] && echo "$((SECONDS - start)) $rss"
    sleep 0.5
  done
}
sample >rss.txt &
sampler=$!

# The game's screen is the window's: 800 x 600 at the origin.
click() {  # x y button
  xdotool mousemove "$1" "$2" && sleep 0.15
  xdotool mousedown "$3" && sleep 0.1 && xdotool mouseup "$3"
}
key() {  # key name
  xdotool keydown "$1" && sleep 0.1 && xdotool keyup "$1"
}
best() {  # name moves: a best-result file as the game writes it
  printf '%s\0' "$1" >data/kavelhs.dat
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($2 & 255)) $(($2 >> 8 & 255)) 0 0)" >>data/kavelhs.dat
}
lost() {
  echo "soak: round $round: $1 (the play folder is kept: $play)" >&2
  key F9 && sleep 1  # what the player saw, as screenshot*.bmp
  SOAK_KEEP=1
  exit 1
}
count() { grep -c "$1" gamelog.txt || true; }
# Waits (up to 20 s: a loaded machine slows the game) until the log holds more
# lines with `text` than `before`.
logged() {  # text before what
  local n
  for _ in $(seq 200); do
    n=$(count "$1")
    ((n > $2)) && return 0
    sleep 0.1
  done
  lost "$3 was not taken"
}

BOARD="160 240" NEW="650 417" HELP="650 483" HELP_OK="400 447" DONE_OK="400 367" NAME="400 304"
rounds_named=0 rounds_done=0 helps=0 round=0
end=$((SECONDS + duration))
while ((SECONDS < end)) && kill -0 "$game_pid" 2>/dev/null; do
  round=$((round + 1))
  if ((round % 2)); then
    # Keyboard round: no best result yet, so the solved board asks for a name.
    rm -f data/kavelhs.dat
    n=$(count 'Loading highscore') && key Return && logged 'Loading highscore' "$n" "New game (Enter)"
    n=$(count 'Help: ') && key F1 && logged 'Help: ' "$n" "Help (F1)"
    sleep 1.5 && key Return && sleep 1.0
    helps=$((helps + 1))
    for _ in 1 2 3; do click $BOARD 1 && sleep 1.0; done
    sleep 1.5
    # Extra clicks on the board after the solving turn took the focus off
    # the name box, as a player's would: a click into the box gives it back.
    # The box keeps the last name entered: erase it, then type key by key.
    click $NAME 1 && sleep 0.3
    for _ in $(seq 15); do key BackSpace && sleep 0.2; done
    name="Soak$round"
    xdotool keydown Shift_L && sleep 0.1 && key s && sleep 0.1 && xdotool keyup Shift_L && sleep 0.2
    for c in $(echo "${name:1}" | grep -o .); do key "$c" && sleep 0.2; done
    sleep 0.3
    n=$(count 'Loading highscore') && key Return && logged 'Loading highscore' "$n" "OK (Enter) after the name"
    [[ -f data/kavelhs.dat ]] && grep -qa "^$name" data/kavelhs.dat ||
      lost "the name entered is not the best result"
    sleep 1.0
    rounds_named=$((rounds_named + 1))
  else
    # Mouse round: a best of one move is never beaten, so the solved board
    # only congratulates; the tips show while the pointer crosses the buttons.
    best Unbeaten 1
    n=$(count 'Loading highscore') && click $NEW 1 && logged 'Loading highscore' "$n" "New game (button)"
    click $HELP 1 && sleep 1.5 && click $HELP_OK 1 && sleep 1.0
    key F2  # the frame-rate overlay, on in one mouse round, off in the next
    for _ in 1 2 3; do click $BOARD 3 && sleep 1.0; done
    sleep 1.5
    n=$(count 'Loading highscore') && click $DONE_OK 1 && logged 'Loading highscore' "$n" "OK (button) after solving"
    grep -qa '^Unbeaten' data/kavelhs.dat || lost "the best result changed without a better result"
    sleep 1.0
    rounds_done=$((rounds_done + 1))
  fi
done
kill -0 "$game_pid" 2>/dev/null || lost "the game quit by itself"

key Escape
for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.2; done
status=0
if kill -0 "$game_pid" 2>/dev/null; then
  echo "soak: the game did not quit on Escape" >&2
  status=1
else
  wait "$game_pid" || { echo "soak: the game exited with $?" >&2; status=1; }
fi
game_pid=""
wait "$sampler" || true

echo "soak: ${duration}s, $round rounds: $rounds_named with a name entered, $rounds_done congratulated; help shown $((helps + rounds_done)) times"
# Peak RSS per interval; the first interval is the base the last is held to.
# Samples taken while the game quits count with the last interval.
awk -v iv="$interval" -v max="$max_growth_kb" -v bins=$(((duration + interval - 1) / interval)) '
  { i = int($1 / iv); if (i >= bins) i = bins - 1; if ($2 > peak[i]) peak[i] = $2; if (i > last) last = i }
  END {
    unit = iv == 60 ? "minute" : "period"
    for (i = 0; i <= last; i++) printf "  %s %2d (%4d-%4ds): peak RSS %7d kB\n", unit, i + 1, i * iv, (i + 1) * iv, peak[i]
    growth = peak[last] - peak[0]
    printf "  growth from the first to the last: %d kB (limit %d kB)\n", growth, max
    exit growth > max
  }' rss.txt || { echo "soak: RSS grew" >&2; status=1; }

# F1 goes to the game's script too, which logs the help text; the button does not.
helped=$(count 'Help: ')
((helped == helps)) || { echo "soak: $helped help lines logged for $helps presses of F1" >&2; status=1; }

# Error lines: the log's error levels (" !: ", " !!!: ") and its error
# separator, a fault report, and anything on standard error.
if grep -naE '^ !{1,3}: |^\|!+\|$|rror|fail' gamelog.txt; then echo "soak: error lines in the game log" >&2; status=1; fi
if [[ -s ehslog.txt ]]; then echo "soak: fault report:" >&2; cat ehslog.txt >&2; status=1; fi
if [[ -s stderr.txt ]]; then echo "soak: standard error:" >&2; cat stderr.txt >&2; status=1; fi

((status == 0)) && echo "soak: passed" || echo "soak: FAILED"
exit "$status"
