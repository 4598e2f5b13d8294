# Finding a program's X windows from the shell, for the scripts that drive the suite on the virtual
# display. Sourced, not run; DISPLAY must be the session's.

# x_window CLASS TITLE [--visible]: the X id of a window of the program whose class (its executable's
# name, as Wine sets it) matches the extended regular expression CLASS and whose title is TITLE exactly;
# only shown ones with --visible. False when there is none. (xdotool's search matches one pattern, so
# the title is compared here.)
x_window() {
  local class=$1 title=$2 only=() window
  [ "${3:-}" = --visible ] && only=(--onlyvisible)
  for window in $(xdotool search "${only[@]}" --classname "$class" 2>/dev/null); do
    [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$title" ] && echo "$window" && return 0
  done
  return 1
}

# x_wait_window SECONDS CLASS TITLE [--visible]: x_window, tried every 0.1 s for up to SECONDS.
x_wait_window() {
  local tries=$(($1 * 10)); shift
  for _ in $(seq "$tries"); do
    x_window "$@" && return 0
    sleep 0.1
  done
  return 1
}
