# scripts/run --toolbar: the installed toolbar resident beside Wine's notepad, walked through as a user
# does it. Sourced by scripts/run once the suite is installed and the Wine session runs; expects ROOT.
#
# Without a window manager the X server sends keys to the window under the pointer, so the pointer is
# put on the window each key is meant for: notepad for the call key and the arrow keys, the panel for
# the keys of the panel and its menu, the result window for its soft key. Steps and their screenshots
# (out/toolbar-run-*.png):
#   notepad    notepad in front with a sentence
#   panel      the call key (Enter) held over notepad: the panel over notepad, "Режим выделения" current
#   menu       Enter on the panel: the button's menu ("Перевести", "Посмотреть в словаре")
#   selection  "Перевести" chosen: selection mode; three words selected by Right in notepad
#   result     the call key held again: the selection translated by the engine stand-in, shown in the
#              result window
#   word       the result window closed (its left soft key tapped); "Посмотреть в словаре" chosen and
#              one word selected by Right
#   dictionary the call key held again: the dictionary program started with the word
# With a display (DISPLAY set) the programs stay until ended by hand; without one the session ends them.

TOOLBAR_SENTENCE="the big cat is in my house"
TOOLBAR_SELECTION_LENGTH=11 # "the big cat", from the start of the line
TOOLBAR_WORD_START=21       # "house"
TOOLBAR_WORD_LENGTH=5

run_toolbar() {
  local build="$ROOT/build/win" wine_run="$ROOT/scripts/wine-run"
  local folder="$build/wineprefix/drive_c/Program Files/OVRIN Mobile"
  mkdir -p "$ROOT/out"
  . "$build/wine-session.env"
  local display="$SESSION_DISPLAY" notepad panel result
  x() { DISPLAY="$display" timeout 30 xdotool "$@"; }
  shot() { DISPLAY="$display" import -window root "$ROOT/out/toolbar-run-$1.png" && echo "run: screenshot out/toolbar-run-$1.png"; }
  reg() { OVRIN_WIN_BUILD="$build" "$wine_run" reg add "$@" /f >/dev/null 2>&1; }
  # The pointer on the middle of an X window (keys go to the window under it).
  point_at() {
    local X Y WIDTH HEIGHT SCREEN
    eval "$(x getwindowgeometry --shell "$1")"
    x mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  }
  # The call key held over notepad for 0.7 s: longer than the toolbar's 500 ms threshold.
  hold_call_key() { point_at "$notepad" && x keydown Return sleep 0.7 keyup Return; }
  # Keys one by one, each given time to take effect (in selection mode the toolbar moves the
  # selection in notepad for each arrow key).
  keys_to() {
    local key
    point_at "$1" && shift
    for key in "$@"; do x key "$key" && sleep 0.25; done
    sleep 0.3
  }
  # A window of the toolbar by its title (visible ones only with --visible), waited for up to 30 s.
  toolbar_window() {
    local only=() window
    [ "$1" = --visible ] && only=(--onlyvisible) && shift
    for _ in $(seq 150); do
      for window in $(x search "${only[@]}" --classname '^ovrintoolbar\.exe$'); do
        [ "$(x getwindowname "$window")" = "$1" ] && echo "$window" && return 0
      done
      sleep 0.2
    done
    return 1
  }
  # The panel shown by the held call key, then its button 0 ("Режим выделения") pressed with Enter
  # and the item'th entry of the button's menu chosen with Down and Enter.
  choose_selection_mode() {
    local item=$1 downs=()
    hold_call_key
    panel=$(toolbar_window --visible "OVRIN Mobile") || { echo "run: the panel did not show" >&2; return 1; }
    sleep 0.5
    [ "$item" -eq 1 ] && shot panel
    # The menu opens below button 0 on the panel's left; the pointer stays on the panel's right end,
    # clear of the menu, so that only keys choose its entry.
    local X Y WIDTH HEIGHT SCREEN
    eval "$(x getwindowgeometry --shell "$panel")"
    x mousemove $((X + WIDTH - 20)) $((Y + HEIGHT / 2)) && x key Return
    sleep 1
    [ "$item" -eq 1 ] && shot menu
    for _ in $(seq "$item"); do downs+=(Down); done
    x key --delay 120 "${downs[@]}" Return
    sleep 1
    # The panel is gone and selection mode runs in notepad.
    notepad_in_front
  }
  # Notepad comes back in front when the user touches it (here its caption: Wine hands the keyboard
  # on only then, and keys typed before reach notepad without the toolbar seeing them).
  notepad_in_front() {
    local X Y WIDTH HEIGHT SCREEN
    eval "$(x getwindowgeometry --shell "$notepad")"
    x mousemove $((X + 200)) $((Y + 10)) click 1
    sleep 1.5
  }

  # Wine draws the frames and captions of notepad and the toolbar's windows itself, as the device
  # does; notepad opens below Wine's tray window, which sits in the top left corner without a window
  # manager.
  for program in notepad.exe OvrinToolbar.exe; do
    reg "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Decorated /d N
  done
  reg 'HKCU\Software\Microsoft\Notepad' /v iWindowPosX /t REG_DWORD /d 40
  reg 'HKCU\Software\Microsoft\Notepad' /v iWindowPosY /t REG_DWORD /d 180
  reg 'HKCU\Software\Microsoft\Notepad' /v iWindowPosDX /t REG_DWORD /d 640
  reg 'HKCU\Software\Microsoft\Notepad' /v iWindowPosDY /t REG_DWORD /d 420

  OVRIN_WIN_BUILD="$build" "$wine_run" notepad.exe >/dev/null 2>&1 &
  notepad=$(x search --sync --onlyvisible --classname '^notepad\.exe$' | head -n 1) || {
    echo "run: notepad did not start" >&2
    return 1
  }
  sleep 1
  point_at "$notepad" && x type --delay 20 "$TOOLBAR_SENTENCE" && x key Home
  sleep 0.5
  shot notepad
  "$wine_run" "$folder/OvrinToolbar.exe" >/dev/null 2>&1 &
  # The toolbar is resident once its panel's window exists (hidden after a plain start) and it has
  # registered its call key, which on a fresh prefix takes a few seconds more.
  toolbar_window "OVRIN Mobile" >/dev/null || {
    echo "run: the toolbar did not start" >&2
    return 1
  }
  sleep 4

  # A selection translated.
  choose_selection_mode 1 || return 1
  # shellcheck disable=SC2046
  keys_to "$notepad" $(printf 'Right %.0s' $(seq $TOOLBAR_SELECTION_LENGTH))
  shot selection
  hold_call_key
  result=$(toolbar_window --visible OVRIN) || {
    echo "run: no result window" >&2
    return 1
  }
  sleep 1.5 # the wait window's thread hides it a moment after the result shows
  shot result

  # A word looked up in the dictionary program.
  # The result window closed with its left soft key ("Выход"), tapped.
  local X Y WIDTH HEIGHT SCREEN
  eval "$(x getwindowgeometry --shell "$result")"
  x mousemove $((X + WIDTH / 4)) $((Y + HEIGHT - 12)) click 1
  for _ in $(seq 50); do
    x search --onlyvisible --classname '^ovrintoolbar\.exe$' | grep -qx "$result" || break
    sleep 0.2
  done
  notepad_in_front
  # shellcheck disable=SC2046
  keys_to "$notepad" End $(printf 'Left %.0s' $(seq $((${#TOOLBAR_SENTENCE} - TOOLBAR_WORD_START))))
  choose_selection_mode 2 || return 1
  # shellcheck disable=SC2046
  keys_to "$notepad" $(printf 'Right %.0s' $(seq $TOOLBAR_WORD_LENGTH))
  shot word
  hold_call_key
  local geometry
  if geometry=$("$wine_run" "$build/lexory/lexory_probe.exe" wait 60 | tr -d '\r'); then
    sleep 0.5
    shot dictionary
  else
    echo "run: the dictionary program did not show the word" >&2
    return 1
  fi
  echo "run: the toolbar translated \"${TOOLBAR_SENTENCE:0:$TOOLBAR_SELECTION_LENGTH}\" from notepad and looked" \
    "\"${TOOLBAR_SENTENCE:$TOOLBAR_WORD_START:$TOOLBAR_WORD_LENGTH}\" up in the dictionary program"
  if [ -n "${DISPLAY:-}" ]; then
    wait
  fi
}
