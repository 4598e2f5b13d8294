# scripts/run --toolbar: the installed toolbar resident beside Wine's notepad, walked through as a user
# does it on the device's screen. Sourced by scripts/run once the suite is installed and the device's
# Wine session runs (OVRIN_WINE_SESSION); expects ROOT.
#
# Notepad fills the screen as the window manager lays it out, the panel floats over it and takes the keys
# while it shows (the toolbar brings it in front), and notepad has them back once the panel has gone. Steps and their screenshots (out/toolbar-run-*.png):
#   notepad    notepad in front with a sentence
#   panel      the call key (Enter) held over notepad: the panel over notepad, "Режим выделения" current
#   menu       Enter on the panel: the button's menu ("Перевести", "Посмотреть в словаре")
#   selection  "Перевести" chosen: selection mode; three words selected by Right in notepad
#   result     the call key held again: the selection translated by the engine stand-in, shown in the
#              result window
#   word       the result window closed with its left soft key (F1); "Посмотреть в словаре" chosen and
#              one word selected by Right
#   dictionary the call key held again: the dictionary program started with the word
# With a display (DISPLAY set) the programs stay until ended by hand; without one the session ends them.

TOOLBAR_SENTENCE="the big cat is in my house"
TOOLBAR_SELECTION_LENGTH=11 # "the big cat", from the start of the line
TOOLBAR_WORD_START=21       # "house"
TOOLBAR_WORD_LENGTH=5

run_toolbar() {
  local build="$ROOT/build/win" wine_run="$ROOT/scripts/wine-run"
  local folder="$OVRIN_WINE_SESSION/wineprefix/drive_c/Program Files/OVRIN Mobile"
  mkdir -p "$ROOT/out"
  . "$OVRIN_WINE_SESSION/wine-session.env"
  . "$ROOT/scripts/lib/xwindows.sh"
  local display="$SESSION_DISPLAY" notepad result
  x() { DISPLAY="$display" timeout 30 xdotool "$@"; }
  shot() {
    # What was just asked for has been laid out to the screen's size and drawn before the picture is
    # taken (nothing outside Wine can see when that is done; a walk-through can wait a moment).
    sleep 1
    DISPLAY="$display" import -window root "$ROOT/out/toolbar-run-$1.png" && echo "run: screenshot out/toolbar-run-$1.png"
  }
  # until_true SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; false when time is up.
  until_true() {
    local tries=$(($1 * 10)); shift
    for _ in $(seq "$tries"); do
      "$@" && return 0
      sleep 0.1
    done
    return 1
  }
  # A shown window of the toolbar by its title: its X id on stdout.
  toolbar_window() { DISPLAY="$display" x_window '^ovrintoolbar\.exe$' "$1" --visible; }
  panel_shown() { toolbar_window "OVRIN Mobile" >/dev/null; }
  panel_gone() { ! panel_shown; }
  result_shown() { result=$(toolbar_window OVRIN); }
  result_gone() { ! toolbar_window OVRIN >/dev/null; }
  # Notepad brought in front with the keyboard as the user does it on the handheld, by touching it (its
  # caption, which Wine draws inside its window): Wine activates what is touched, and the window manager
  # raises it. (The toolbar's notification icon, docked in the top bar, can hold Wine's activation
  # meanwhile; the window manager moves neither it nor the X focus by itself.)
  notepad_in_front() {
    local X Y WIDTH HEIGHT SCREEN
    eval "$(x getwindowgeometry --shell "$notepad")"
    x windowactivate "$notepad" mousemove $((X + 40)) $((Y + 8)) click 1 mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  }
  # Notepad holding the sentence, the caret at its start.
  write_sentence() { x key ctrl+a && x type --delay 20 "$TOOLBAR_SENTENCE" && x key Home; }
  # The call key held until the condition holds (up to 10 s), then let go.
  hold_call_key_until() {
    x keydown Return
    until_true 10 "$@"
    local shown=$?
    x keyup Return
    return $shown
  }
  # The panel called up by the held call key, its button 0 ("Режим выделения") pressed with Enter and
  # the item'th entry of the button's menu chosen with Down and Enter. A toolbar just started takes
  # the call key a moment after its window exists: the Enter that reached notepad meanwhile is undone
  # and the key held again.
  choose_selection_mode() {
    local item=$1 downs=() attempt
    for attempt in 1 2 3; do
      notepad_in_front
      hold_call_key_until panel_shown && break
      echo "run: the panel did not show (try $attempt)" >&2
      write_sentence
      [ "$attempt" -eq 3 ] && return 1
    done
    [ "$item" -eq 1 ] && shot panel
    # The pointer rests on the panel's right end, clear of the menu that opens below button 0 on its
    # left: only keys choose the menu's entry.
    local X Y WIDTH HEIGHT SCREEN
    eval "$(x getwindowgeometry --shell "$(toolbar_window "OVRIN Mobile")")"
    x mousemove $((X + WIDTH - 20)) $((Y + HEIGHT - 10))
    x key Return
    # The menu: a shown window of the toolbar without a title.
    until_true 10 toolbar_window "" >/dev/null
    [ "$item" -eq 1 ] && shot menu
    for _ in $(seq "$item"); do downs+=(Down); done
    x key --delay 120 "${downs[@]}" Return
    # The panel is gone and selection mode runs in notepad, which has the keyboard again.
    until_true 10 panel_gone || { echo "run: the panel stayed" >&2; return 1; }
    # The toolbar takes the arrow keys of notepad a moment after its panel has gone.
    sleep 1
  }

  "$wine_run" notepad.exe >/dev/null 2>&1 &
  notepad=$(x search --sync --onlyvisible --classname '^notepad\.exe$' | head -n 1) || {
    echo "run: notepad did not start" >&2
    return 1
  }
  notepad_in_front || { echo "run: notepad did not get the keyboard" >&2; return 1; }
  write_sentence
  shot notepad
  "$wine_run" "$folder/OvrinToolbar.exe" >/dev/null 2>&1 &
  # Resident once its panel's window exists (hidden after a plain start).
  DISPLAY="$display" x_wait_window 30 '^ovrintoolbar\.exe$' "OVRIN Mobile" >/dev/null ||
    { echo "run: the toolbar did not start" >&2; return 1; }

  # A selection translated.
  choose_selection_mode 1 || return 1
  # shellcheck disable=SC2046
  x key --delay 150 $(printf 'Right %.0s' $(seq $TOOLBAR_SELECTION_LENGTH))
  shot selection
  hold_call_key_until result_shown || { echo "run: no result window" >&2; return 1; }
  shot result

  # A word looked up in the dictionary program. The result window closed with its left soft key
  # ("Выход", F1).
  x key F1
  until_true 10 result_gone || { echo "run: the result window did not close" >&2; return 1; }
  notepad_in_front
  # shellcheck disable=SC2046
  x key --delay 60 End $(printf 'Left %.0s' $(seq $((${#TOOLBAR_SENTENCE} - TOOLBAR_WORD_START))))
  choose_selection_mode 2 || return 1
  # shellcheck disable=SC2046
  x key --delay 150 $(printf 'Right %.0s' $(seq $TOOLBAR_WORD_LENGTH))
  shot word
  x keydown Return
  local geometry
  geometry=$("$wine_run" "$build/lexory/lexory_probe.exe" wait 60 | tr -d '\r')
  local found=$?
  x keyup Return
  if [ $found -ne 0 ]; then
    echo "run: the dictionary program did not show the word" >&2
    return 1
  fi
  shot dictionary
  echo "run: the toolbar translated \"${TOOLBAR_SENTENCE:0:$TOOLBAR_SELECTION_LENGTH}\" from notepad and looked" \
    "\"${TOOLBAR_SENTENCE:$TOOLBAR_WORD_START:$TOOLBAR_WORD_LENGTH}\" up in the dictionary program"
  if [ -n "${DISPLAY:-}" ]; then
    wait
  fi
}
