#!/bin/sh
# Runs under xvfb-run: a window manager (openbox), the real program with
# its own settings folder, driven with xdotool as a user drives it. Every
# step has a time limit.
#   desktop-session.sh PROGRAM OUTDIR SCENARIO
# SCENARIO "size": the window manager cannot make the window larger than
# its layout (resizing, maximising), and Ctrl+Q with the Settings window
# open ends the program with status 0.
# SCENARIO "keyboard": the keyboard alone closes the Settings window
# (Escape, Ctrl+W) and leaves the program there, opens the menus (Alt and
# a letter, F10, the arrows), runs About, Contact Support and Subscribe
# from them, and one Escape out of a menu gives the typing back to the
# window; Ctrl+W in the main window hides the program.
# Prints what it saw; exits 1 on the first failure.
program="$1"; out="$2"; scenario="$3"
export QT_QPA_PLATFORM=xcb
export HOME="$out/home" XDG_CONFIG_HOME="$out/home/config" XDG_RUNTIME_DIR="$out/run"
mkdir -p "$XDG_CONFIG_HOME/tessivo" "$XDG_RUNTIME_DIR" "$out/bin" && chmod 700 "$XDG_RUNTIME_DIR"
# The desktop's opener only notes what it was given (a mail to write).
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$out" >"$out/bin/xdg-open" && chmod +x "$out/bin/xdg-open"
export PATH="$out/bin:$PATH"
# The newsletter was answered: no prompt covers the window. On a first
# start the prompt does not open by itself either, and the Help menu offers
# the subscription: the keyboard scenario needs that.
[ "$scenario" = keyboard ] ||
  printf '{"mailingList.shared.decision":"declined"}' >"$XDG_CONFIG_HOME/tessivo/org.tessivo.shared.json"

# Openbox with one key of our own: Super+M maximises the focused window.
cat >"$out/openbox.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <keyboard><keybind key="W-m"><action name="ToggleMaximize"/></keybind></keyboard>
  <focus><focusNew>yes</focusNew></focus>
</openbox_config>
XML
openbox --config-file "$out/openbox.xml" >"$out/openbox.log" 2>&1 &
wm=$!
app=""
finish() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  kill "$wm" 2>/dev/null
  exit "$1"
}
fail() {
  echo "FAILED: $*"
  if [ -n "$app" ] && ! kill -0 "$app" 2>/dev/null; then wait "$app"; echo "the program had ended with status $?"; fi
  finish 1
}
# Waits for the window manager to have started up (it names its theme at
# the end); a window mapped earlier can be left unmanaged and unseen.
i=0
until xprop -root _OB_THEME 2>/dev/null | grep -q '='; do
  i=$((i + 1)); [ "$i" -gt 100 ] && fail "openbox did not start"; sleep 0.1
done
sleep 0.3

"$program" >"$out/program.log" 2>&1 &
app=$!
# The window of this title, once it is on screen (a search can fail on the
# short-lived windows of a starting program: ask again).
find_window() {
  i=0
  while [ "$i" -lt 200 ]; do
    found=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$found" ] && { echo "$found"; return; }
    i=$((i + 1)); sleep 0.1
  done
}
win=$(find_window '^Tessivo$')
[ -n "$win" ] || fail "the main window did not appear"
echo "the window is up"
sleep 0.5

# Waits up to 20 seconds for a condition: on a loaded machine the window
# manager can take far longer than usual to act on a request.
settle() {
  i=0
  until eval "$1"; do
    i=$((i + 1)); [ "$i" -gt 200 ] && return 1; sleep 0.1
  done
}

if [ "$scenario" = keyboard ]; then
  keys() { timeout 5 xdotool key --clearmodifiers "$@"; }
  shown() { [ -n "$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" ]; }
  in_front() { [ "$(timeout 5 xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
  main_shown() { timeout 5 xwininfo -id "$win" | grep -q IsViewable; }
  # An open menu is a window of the program that the window manager does
  # not manage.
  menu_open() {
    for w in $(timeout 5 xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
      timeout 5 xwininfo -id "$w" | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
  }
  # Opens the window of this title with the keys, and closes it with the
  # keys, the main window then in front again and still there.
  opens_and_closes() {
    title="$1"; opening="$2"; closing="$3"
    settle 'in_front "$win"' || fail "the main window is not in front"
    keys $opening
    found=$(find_window "^$title\$")
    [ -n "$found" ] || fail "$opening did not open $title"
    settle 'in_front "$found"' || fail "$title is not in front"
    keys $closing
    settle '! shown "^$title\$"' || fail "$closing did not close $title"
    main_shown || fail "$closing in $title hid the program"
    echo "$opening opened $title, $closing closed it"
  }

  timeout 5 xdotool windowactivate --sync "$win"
  opens_and_closes Settings ctrl+comma Escape
  opens_and_closes Settings ctrl+comma ctrl+w

  # One Escape closes the menu and the keys reach the window again; in the
  # menu bar a letter would open a menu, and Ctrl+comma would not reach
  # the window.
  keys alt+h
  settle menu_open || fail "Alt+H opened no menu"
  keys Escape
  settle '! menu_open' || fail "Escape did not close the menu"
  opens_and_closes Settings "h ctrl+comma" Escape

  # The first command of the Help menu.
  keys alt+h
  settle menu_open || fail "Alt+H opened no menu"
  keys Return
  settle '[ -s "$out/opened" ]' || fail "Contact Support opened no mail"
  grep -q '^mailto:' "$out/opened" || fail "Contact Support opened $(cat "$out/opened")"
  echo "Contact Support: $(cut -c1-40 "$out/opened")"

  # F10 opens the first menu; Right goes across to the Help menu, Down to
  # its second command.
  keys F10
  settle menu_open || fail "F10 opened no menu"
  opens_and_closes "Stay in the loop" "Right Right Down Return" Escape
  keys F10
  settle menu_open || fail "F10 opened no menu"
  opens_and_closes "About Tessivo" Return Escape

  keys ctrl+w
  settle '! main_shown' || fail "Ctrl+W in the main window did not hide the program"
  echo "Ctrl+W hid the program"
  kill "$app"; wait "$app"; app=""
  echo "passed"
  finish 0
fi

size() { timeout 5 xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p'; }
maximised() { timeout 5 xprop -id "$win" _NET_WM_STATE | grep -q MAXIMIZED; }
first=$(size); echo "opened at $first"
height=${first#*x}
[ "${first%x*}" = 800 ] || fail "opened $first wide, not 800"

timeout 5 xdotool windowsize "$win" 1400 900
settle '[ "$(size)" = "1000x$height" ]'
now=$(size); echo "asked for 1400x900, got $now"
[ "$now" = "1000x$height" ] || fail "resized to $now"

timeout 5 xdotool windowsize "$win" 800 "$height"
settle '[ "$(size)" = "$first" ]' || fail "did not return to $first"
timeout 5 xdotool windowactivate --sync "$win"
timeout 5 xdotool key --clearmodifiers super+m
# A key that reached no window (the activation still under way) leaves it
# as it was: activate and press once more.
if ! settle 'maximised && [ "$(size)" != "$first" ]'; then
  echo "pressed Super+M again"
  timeout 5 xdotool windowactivate --sync "$win"
  timeout 5 xdotool key --clearmodifiers super+m
  settle 'maximised && [ "$(size)" != "$first" ]'
fi
now=$(size); echo "maximised: $now"
maximised || fail "not maximised"
[ "$now" = "1000x$height" ] || fail "maximised to $now"
timeout 5 xdotool key --clearmodifiers super+m
settle '! maximised' || fail "not restored"

# Settings open, the main window clicked, Ctrl+Q: the program ends.
timeout 5 xdotool key --clearmodifiers ctrl+comma
settings=$(find_window '^Settings$')
[ -n "$settings" ] || fail "the Settings window did not open"
timeout 5 xdotool windowactivate --sync "$win"
timeout 5 xdotool mousemove --window "$win" 200 300 click 1; sleep 0.3
timeout 5 xdotool key --clearmodifiers ctrl+q
i=0
while kill -0 "$app" 2>/dev/null; do
  i=$((i + 1)); [ "$i" -gt 100 ] && fail "the program did not end after Ctrl+Q"; sleep 0.1
done
wait "$app"; status=$?; app=""
echo "quit with status $status"
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "passed"
finish 0
