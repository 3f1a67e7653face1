#!/usr/bin/env bash
# The window as a user meets it, under Xvfb with a window manager (openbox), driven by xdotool
# through the real dialogs. Writes screenshots into the folder given and checks, as it goes:
#   1. Cancel Analysis (Escape) in the Tissue dialog returns to the loaded dataset: the program
#      goes on and the earlier results file is unchanged.
#   2. Abort Run in Tissue Sample Options does the same, and the status line says so.
#   6. With QT_SCALE_FACTOR=2 on a 1600 x 1000 screen the window and its title bar stay on the
#      screen; the form scrolls.
#   7. On a 1366 x 768 screen the window stays on it once the results show beside the form, the
#      status line included, with the data in a deeply nested folder.
# Usage: scripts/window-journey.sh FOLDER   (needs build/release/kolvane and kolvane-batch)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:?usage: scripts/window-journey.sh FOLDER}")"
mkdir -p "$out"
bin=build/release
for program in kolvane kolvane-batch; do
  [ -x "$bin/$program" ] || cmake --build --preset release --target "$program"
done
for tool in Xvfb openbox xdotool import xwininfo; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1" >&2; failures=$((failures + 1)); fi
}

# A screen of its own with a window manager, made the DISPLAY. (Not in a subshell: the servers
# must be in pids to be stopped at the end.)
start_screen() {  # start_screen WIDTHxHEIGHT
  local display=""
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  [ -n "$display" ] || { echo "no free display between :90 and :120" >&2; exit 1; }
  Xvfb "$display" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
  DISPLAY="$display" openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
  DISPLAY="$display"
}

# Waits for a window whose title matches the regular expression and activates it.
window() {  # window TITLE-REGEX
  local id=""
  for _ in $(seq 300); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)"
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  sleep 0.3
  echo "$id"
}

shot() { sleep 0.5; import -window root "$out/$1.png"; echo "screenshot: $out/$1.png"; }

answer_file() {  # answer_file DIALOG-TITLE PATH
  window "^$1\$" >/dev/null
  xdotool key ctrl+a
  xdotool type --delay 5 "$2"
  xdotool key Return
  sleep 0.5
}

# The fixed example under a name of its own, and a complete results file from an earlier run.
ex=examples/fixed/tissue_blanks_controls
cp "$ex.fix" "$work/x.fix"
cp "$ex.blk" "$work/x.blk"
cp "$ex.ctl" "$work/x.ctl"
"$bin/kolvane-batch" fixed "$work/x.fix" --blanks "$work/x.blk" --controls "$work/x.ctl" \
  --tissue use -o "$work/x.fix.scf" >/dev/null
earlier="$(sha256sum < "$work/x.fix.scf")"
unchanged() { [ "$(sha256sum < "$work/x.fix.scf")" = "$earlier" ]; }

open_example() {  # File > Open Fixed Wavelength File and its four dialogs; Yes to replace
  xdotool key ctrl+alt+o
  answer_file "Open Fix File" "$work/x.fix"
  answer_file "Open Blanks File" "$work/x.blk"
  answer_file "Open Control File" "$work/x.ctl"
  answer_file "Save Results File" "$work/x.fix.scf"
  window "Save Results File|already exists" >/dev/null && xdotool key alt+y
  sleep 1
}

# --- 1 and 2 ----------------------------------------------------------------------------------
export DISPLAY
start_screen 1280x900
QT_QPA_PLATFORM=xcb "$bin/kolvane" >"$work/kolvane.log" 2>&1 &
kolvane=$!
pids+=($kolvane)
main="$(window "KOLVANE")"
sleep 1
open_example
window "x.fix" >/dev/null
shot 01-fixed-example-loaded

xdotool key Return                      # Analyze
window "^Tissue\$" >/dev/null
shot 02-tissue-dialog
xdotool key Escape                      # as Cancel Analysis
sleep 1
shot 03-after-cancel-analysis
check "1: the program goes on after Cancel Analysis" kill -0 "$kolvane"
check "1: the window still shows the dataset" bash -c "xdotool search --name 'x.fix' >/dev/null"
check "1: the earlier results file is unchanged" unchanged

xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key Return                      # Analyze again
tissue="$(window "^Tissue\$")"
# "Use tissue in spillover correction", the first option (its button at this place in the
# dialog with the desktop's default font), then OK.
xdotool mousemove --window "$tissue" 18 41 click 1
sleep 0.3
xdotool key Return
window "Tissue Sample Options" >/dev/null
shot 04-tissue-sample-options
xdotool key Escape                      # as Abort Run
sleep 1
shot 05-after-abort-run
check "2: the program goes on after Abort Run" kill -0 "$kolvane"
check "2: the earlier results file is unchanged" unchanged

# Analyze once more, to the end: the dataset was kept whole.
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key Return
window "^Tissue\$" >/dev/null
xdotool key Return                      # OK: tissue passed through
sleep 3
shot 06-analyzed-after-the-cancels
check "a run after both cancels writes its results" bash -c "! cmp -s <(sha256sum < '$work/x.fix.scf') <(echo '$earlier')"
xdotool key ctrl+q
sleep 1

# --- 6 ----------------------------------------------------------------------------------------
start_screen 1600x1000
QT_SCALE_FACTOR=2 QT_QPA_PLATFORM=xcb "$bin/kolvane" >"$work/kolvane2.log" 2>&1 &
pids+=($!)
main="$(window "KOLVANE")"
sleep 1
shot 07-scale-2-idle
within_screen() {  # within_screen [SCREEN-WIDTH SCREEN-HEIGHT]
  local sw=${1:-1600} sh=${2:-1000} left top width height extents fl fr ft fb
  left="$(xwininfo -id "$main" | awk '/Absolute upper-left X/ {print $4}')"
  top="$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')"
  width="$(xwininfo -id "$main" | awk '/Width:/ {print $2}')"
  height="$(xwininfo -id "$main" | awk '/Height:/ {print $2}')"
  extents="$(xprop -id "$main" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$')"
  IFS=', ' read -r fl fr ft fb <<<"$extents"
  echo "window ${width}x${height} at ${left},${top}; frame left $fl right $fr top $ft bottom $fb"
  # The frame, title bar included, lies within the screen.
  [ $((left - fl)) -ge 0 ] && [ $((top - ft)) -ge 0 ] &&
    [ $((left + width + fr)) -le "$sw" ] && [ $((top + height + fb)) -le "$sh" ]
}
check "6: the idle window with its title bar is within the screen" within_screen
open_example
window "x.fix" >/dev/null
sleep 1
shot 08-scale-2-loaded
check "6: the loaded window with its title bar is within the screen" within_screen
xdotool key ctrl+q

# --- 7 ----------------------------------------------------------------------------------------
# The example in a deeply nested folder, opened as `kolvane FILE` opens it (the dataset's panel
# above the form), analysed to the end.
nested="$work"
for _ in 1 2 3 4; do nested="$nested/a folder for one of the studies of the year"; done
mkdir -p "$nested"
for ext in fix blk ctl; do cp "$ex.$ext" "$nested/y.$ext"; done
start_screen 1366x768
QT_QPA_PLATFORM=xcb "$bin/kolvane" "$nested/y.fix" >"$work/kolvane3.log" 2>&1 &
pids+=($!)
main="$(window "y.fix")"
sleep 1
xdotool key Return                      # Analyze
window "^Tissue\$" >/dev/null
xdotool key Return                      # OK: tissue passed through
sleep 3
shot 09-small-screen-results
check "7: the results file is written" test -s "$nested/y.fix.scf"
check "7: the window with its results is within a 1366 x 768 screen" within_screen 1366 768
xdotool key ctrl+q

echo "screenshots in $out"
[ "$failures" -eq 0 ]
