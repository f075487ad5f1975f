#!/usr/bin/env bash
# End-to-end check of the program as a user runs it, on a virtual X display with a window
# manager: the pointer moves along the menu to "Fuel Surcharge...", 5.5 is typed and Done clicked,
# and the stored value is read back; then a quote is typed and rated with the keyboard alone, and
# Alt with a key over it is shown to do nothing while Alt alone closes it;
# then a message over a modal window is answered with Enter, and straight lines from the corners
# of a heading past another open the command aimed at. Last the program starts again after
# a tariff update: the start-up question is answered Yes, the upgrade window asks for the earlier
# database with a file dialog, which Escape closes, and Escape closes the upgrade window. Then
# the user's copy of the database is damaged, and the question that start asks before any window
# is up is answered with Enter; last the effective-date file is, and the message the start ends
# with is answered with Enter.
#
#   scripts/e2e.sh [path/to/fretlyn]      (default: build/app/fretlyn; E2E_TRACE=1 traces it,
#                                          E2E_WM=openbox runs it under that window manager)
#
# Needs Xvfb (xvfb-run), a window manager (matchbox-window-manager or openbox), xdotool and
# sqlite3; exits 77 (skipped) when one is missing. xprop and xwininfo (x11-utils) check which
# window a start-up question belongs to.
set -euo pipefail
[ -n "${E2E_TRACE:-}" ] && set -x

program=${1:-"$(cd "$(dirname "$0")/.." && pwd)/build/app/fretlyn"}
skip() { echo "e2e: skipped: $*"; exit 77; }
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
command -v sqlite3 >/dev/null || skip "sqlite3 is not installed"
wm=""
for candidate in ${E2E_WM:-matchbox-window-manager openbox}; do
  if command -v "$candidate" >/dev/null; then wm=$candidate; break; fi
done
[ -n "$wm" ] || skip "no window manager (matchbox-window-manager or openbox) is installed"
[ -x "$program" ] || { echo "e2e: no program at $program"; exit 1; }
program=$(realpath "$program")

if [ -z "${E2E_INSIDE:-}" ]; then
  export E2E_INSIDE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program"
fi

# A user of our own: the program's data folder starts empty and is thrown away afterwards.
scratch=$(mktemp -d)
export HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/run" QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# No session bus, as on a bare virtual display: without an address the toolkit would have one
# started through the display, forking the program to do it, and a sanitized program forked
# while its other threads run can hang there before it shows a window.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/no-session-bus"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "e2e: FAILED: $*"
  echo "e2e: windows shown: $(xdotool search --onlyvisible --name . 2>/dev/null |
    while read -r id; do printf '"%s" ' "$(xdotool getwindowname "$id" 2>/dev/null)"; done)"
  # A program that is up but shows nothing: where each of its threads stands.
  if command -v gdb >/dev/null; then
    for pid in "${pids[@]}"; do
      [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$(basename "$program" | cut -c1-15)" ] || continue
      echo "e2e: program $pid is still running; its threads:"
      gdb -p "$pid" -batch -ex "thread apply all bt 30" 2>/dev/null | grep -E '^(#|Thread)' | head -200
    done
  fi
  exit 1
}

"$wm" >/dev/null 2>&1 &
pids+=($!)
sleep 1
# The program runs from a copy of its folder, so that nothing it writes there stays behind.
mkdir -p "$scratch/app"
for entry in "$(dirname "$program")"/*; do
  case "$(basename "$entry")" in CMakeFiles|*_autogen|*.cmake|Makefile) continue ;; esac
  cp -r "$entry" "$scratch/app/"
done
"$scratch/app/$(basename "$program")" >"$scratch/program.log" 2>&1 &
running=$!
pids+=($running)

# The window whose name matches, once it is up (30 s at most, or as many seconds as given).
window() {
  local id=""
  for _ in $(seq $((${2:-30} * 5))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
# Moves the pointer over the window in straight lines through the given points (window
# coordinates), in steps of at most 6 px, as a hand moves a mouse.
walk() {
  local win=$1; shift
  local x=$1 y=$2; shift 2
  xdotool mousemove --window "$win" "$x" "$y"
  while [ $# -ge 2 ]; do
    local tx=$1 ty=$2 steps i; shift 2
    steps=$(awk -v dx=$((tx - x)) -v dy=$((ty - y)) 'BEGIN { s = int((sqrt(dx * dx + dy * dy) + 5) / 6); print (s < 1 ? 1 : s) }')
    for i in $(seq 1 "$steps"); do
      xdotool mousemove --window "$win" $((x + (tx - x) * i / steps)) $((y + (ty - y) * i / steps))
    done
    x=$tx y=$ty
  done
}

# The first start copies the tariff's database for the user: on a machine busy with the other
# tests that can take a while.
main=$(window '^Norvale Fretlyn2007' 90) ||
  fail "the main window did not come up (program $(kill -0 "$running" 2>/dev/null && echo running || echo ended)): $(cat "$scratch/program.log")"
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 1

# From the heading "Customize" straight down to "Fuel Surcharge..." in its group below.
walk "$main" 776 158 800 260
xdotool click 1
# The dialog has no title: it is the active window once it is up.
fsc=""
for _ in $(seq 50); do
  fsc=$(xdotool getactivewindow 2>/dev/null) || true
  [ -n "$fsc" ] && [ "$fsc" != "$main" ] && break
  fsc=""
  sleep 0.2
done
[ -n "$fsc" ] || fail "no window opened on the click on Fuel Surcharge..."
sleep 0.5
xdotool type --delay 50 "5.5"
xdotool mousemove --window "$fsc" 352 199 click 1
sleep 1
database=$(find "$XDG_DATA_HOME" -name x2007.mdb 2>/dev/null | head -1) || true
[ -n "$database" ] || fail "no database in the user's data folder: $(find "$scratch" | head -30)"
stored=$(sqlite3 "$database" "SELECT valuef FROM tblConfig WHERE keyf = 'FSC_fsc'" 2>&1) || fail "the settings could not be read: $stored"
[ "$stored" = "05.5" ] || fail "the fuel surcharge typed as 5.5 was stored as '$stored'"
echo "e2e: fuel surcharge typed as 5.5 is stored as $stored"

# A quote with the keyboard alone: the origin box has the focus as the window comes back to the
# front; origin, Enter, destination, Enter, weight, Enter, class, and Alt alone rates.
sleep 0.5
xdotool key --delay 80 ctrl+a
xdotool type --delay 80 "55401"
xdotool key --delay 80 Return
xdotool type --delay 80 "60601"
xdotool key --delay 80 Return
xdotool type --delay 80 "1000"
xdotool key --delay 80 Return
xdotool type --delay 80 "70"
xdotool key --delay 80 alt
quote=$(window '^Fretlyn2007$') || fail "no quote window after the keys: $(cat "$scratch/program.log")"
echo "e2e: a quote typed and rated with the keyboard is shown"
# Alt with another key is no Done over the quote: the window stays, and the letter reaches no
# other window (an "R" in the origin box would stop the next rating).
# (Alt-F4 is openbox's own key to close the active window.)
altkeys="alt+r alt+a alt+F4"
[ "$wm" = openbox ] && altkeys="alt+r alt+a"
for keys in $altkeys; do
  xdotool key --delay 80 "$keys"
  sleep 0.5
  xdotool search --onlyvisible --name '^Fretlyn2007$' >/dev/null 2>&1 ||
    fail "$keys closed the quote window"
done
# Alt alone is its Done; Alt alone again in the main window rates the same shipment again.
xdotool key --delay 80 alt
sleep 1
if xdotool search --onlyvisible --name '^Fretlyn2007$' >/dev/null 2>&1; then
  fail "Alt alone left the quote window open"
fi
xdotool key --delay 80 alt
quote=$(window '^Fretlyn2007$') || fail "the shipment could not be rated again after Alt-R over the quote"
echo "e2e: over the quote window Alt alone is Done and Alt with a key does nothing"
# Escape closes the quote window as its Done does; the key goes where a user's would, to the
# window that has the focus.
xdotool key --delay 80 Escape
sleep 0.5
if xdotool search --onlyvisible --name '^Fretlyn2007$' >/dev/null 2>&1; then
  fail "Escape left the quote window open"
fi

# A message over a modal window: "Print" in the rate-sheet window with no destination chosen.
# The message must stand above the window it belongs to, so that Enter answers it; under a
# window manager that stacks it beneath, it would hold the keys unseen.
walk "$main" 900 300 760 130
xdotool click 1
sheets=$(window '^Rate Sheets$') || fail "no rate-sheet window on the click on Rate Sheets"
sleep 1
walk "$sheets" 200 300 40 428
xdotool click 1
message=$(window '^Data Entry Error$') || fail "no message on Print without a destination"
sleep 0.5
xdotool key --delay 80 Return
gone=""
for _ in $(seq 25); do
  if ! xdotool search --onlyvisible --name '^Data Entry Error$' >/dev/null 2>&1; then gone=1; break; fi
  sleep 0.2
done
[ -n "$gone" ] || fail "Enter did not answer the message over the rate-sheet window"
echo "e2e: a message over the rate-sheet window is answered with Enter"
# Back in the rate-sheet window, Escape closes it as its Done does.
xdotool key --delay 80 Escape
sleep 0.5
if xdotool search --onlyvisible --name '^Rate Sheets$' >/dev/null 2>&1; then
  fail "the rate-sheet window did not take the keys again after the message"
fi

# Whether a window whose name matches is gone within 5 s.
gone() {
  for _ in $(seq 25); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}

# From a corner of a heading straight to the far end of a command of its group, across the
# neighbouring heading "Rules Tariff": the click opens the command aimed at, never the quick
# reference of the heading crossed.
walk "$main" 600 545 700 120 818 148 899 185
xdotool click 1
sleep 1
if xdotool search --onlyvisible --name '^Rates and Charges' >/dev/null 2>&1; then
  fail "the line from Customize to Accessorial charges opened the quick reference"
fi
# The accessorial list is open; a click on the background closes it.
walk "$main" 899 185 600 545
xdotool click 1
walk "$main" 600 545 960 120 943 148 885 185
xdotool click 1
window '^Fretlyn Help$' >/dev/null || fail "the line from Help to Contents... opened no help"
if xdotool search --onlyvisible --name '^Rates and Charges' >/dev/null 2>&1; then
  fail "the line from Help to Contents... opened the quick reference"
fi
xdotool key --delay 80 Escape
gone '^Fretlyn Help$' || fail "Escape did not close the help"
echo "e2e: straight lines from the corners of a heading past another open the command aimed at"

# A tariff update: the program ends, the application folder gets a new effective date, and the
# next start offers to bring the user's data across from the copy used until then. Each window
# of that start must stand above the one it opens over, or its keys would never reach it.
kill "$running" 2>/dev/null || true
wait "$running" 2>/dev/null || true
# A shipping location of the user's own, which the update then offers to bring across (with
# nothing of the customer's in the copy there would be nothing to offer).
sqlite3 "$database" "INSERT INTO shipzips (zip) VALUES ('606')" ||
  fail "no shipping location could be stored in $database"
echo "April 2, 2007" >"$scratch/app/data/effdate.dat"
"$scratch/app/$(basename "$program")" >"$scratch/update.log" 2>&1 &
pids+=($!)
# A start after an update first copies the tariff's database for the user, which can take a
# while on a busy machine.
window '^Tariff update$' 90 >/dev/null ||
  fail "no tariff-update question at start: $(cat "$scratch/update.log")"
sleep 1
# Yes is the question's default button.
xdotool key --delay 80 Return
gone '^Tariff update$' || fail "Enter did not answer the tariff-update question"
upgrader=$(window '^Norvale Freight Fretlyn2007 Upgrader$') ||
  fail "no upgrade window after Yes: $(cat "$scratch/update.log")"
sleep 1
# "Bills of Lading" ticked, then "Upgrade".
walk "$upgrader" 200 280 40 189
xdotool click 1
walk "$upgrader" 40 189 288 252
xdotool click 1
window '^Where is your the database from which you are upgrading\?$' >/dev/null ||
  fail "no file dialog after Upgrade: $(cat "$scratch/update.log")"
sleep 1
xdotool key --delay 80 Escape
gone '^Where is your the database' || fail "Escape did not close the file dialog over the upgrade window"
echo "e2e: at start after a tariff update the upgrade window's file dialog takes Escape"
sleep 0.5
xdotool key --delay 80 Escape
gone '^Norvale Freight Fretlyn2007 Upgrader$' || fail "Escape did not close the upgrade window after the file dialog"
window '^Norvale Fretlyn2007' >/dev/null || fail "the main window is gone after the upgrade window"

# A damaged copy of the user's database: the next start asks, before any window of the program
# is on the screen, whether to set it aside. The question belongs to no window or to one on the
# screen (never to the program's hidden leader window, beneath which some window managers map
# it), yet is placed as a dialog; Enter answers Yes, and the start goes on to the main window.
kill "${pids[-1]}" 2>/dev/null || true
wait "${pids[-1]}" 2>/dev/null || true
database=$(find "$XDG_DATA_HOME" -name x2007.mdb 2>/dev/null | head -1) || true
[ -n "$database" ] || fail "no database in the user's data folder before damaging it"
head -c 100 "$database" >"$database.part" && mv "$database.part" "$database"
head -c 4096 /dev/urandom >>"$database"
"$scratch/app/$(basename "$program")" >"$scratch/damaged.log" 2>&1 &
pids+=($!)
question=$(window '^Damaged database$' 90) ||
  fail "no question about the damaged database at start: $(cat "$scratch/damaged.log")"
sleep 1
# Whether the window (given with what it is) belongs to no window or to one on the screen, and
# is a dialog to the window manager.
standsAbove() {
  command -v xprop >/dev/null && command -v xwininfo >/dev/null || {
    echo "e2e: xprop or xwininfo is not installed: the owner of $2 is not checked"
    return 0
  }
  local owner
  owner=$(xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*window id # *//p')
  if [ -n "$owner" ]; then
    xwininfo -id "$owner" 2>/dev/null | grep -q 'Map State: IsViewable' ||
      fail "$2 is transient for $owner, a window not on the screen"
  fi
  xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '_NET_WM_WINDOW_TYPE_DIALOG' ||
    fail "$2 is no dialog to the window manager"
}
standsAbove "$question" "the damaged-database question"
# Yes is the question's default button.
xdotool key --delay 80 Return
main=$(window '^Norvale Fretlyn2007' 90) ||
  fail "no main window after the damaged copy was set aside: $(cat "$scratch/damaged.log")"
ls "$(dirname "$database")"/x2007-damaged*.mdb >/dev/null 2>&1 ||
  fail "the damaged copy was not set aside: $(ls "$(dirname "$database")")"
echo "e2e: at start the damaged-database question stands on its own, takes Enter, and the start goes on"

# A damaged effective-date file: the start ends with a message before any window is up, which
# stands on its own as the question above and takes Enter.
kill "${pids[-1]}" 2>/dev/null || true
wait "${pids[-1]}" 2>/dev/null || true
printf '\000\377\n' >"$scratch/app/data/effdate.dat"
"$scratch/app/$(basename "$program")" >"$scratch/failed.log" 2>&1 &
failed=$!
pids+=($failed)
message=$(window '^Fretlyn$' 90) ||
  fail "no message about the damaged effective-date file at start: $(cat "$scratch/failed.log")"
sleep 1
standsAbove "$message" "the start-up error message"
xdotool key --delay 80 Return
ended=""
for _ in $(seq 50); do
  kill -0 "$failed" 2>/dev/null || { ended=1; break; }
  sleep 0.2
done
[ -n "$ended" ] || fail "Enter did not answer the start-up error message"
echo "e2e: a start-up error message stands on its own and takes Enter"
echo "e2e: passed"
