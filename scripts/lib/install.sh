# The suite installed into the device's Wine prefix the way a user gets it: the package made from the
# build by the installer stand-in (outside/installer/package/suite.pkg says what goes where) and
# installed with it; removed with it again. Sourced, not run; expects ROOT, a built build/win and the
# samples in build/samples, and the device's session running in OVRIN_WINE_SESSION (scripts/wine-run
# --start).

SUITE_PACKAGE="$ROOT/build/win/package"

# Windows form of a path of this machine (the prefix maps / to Z:).
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

install_suite() {
  local build="$ROOT/build/win" ovinstall="$ROOT/build/win/outside/installer/ovinstall.exe"
  build_engine_dictionaries || { echo "install: building the reverse dictionaries failed"; return 1; }
  rm -rf "$SUITE_PACKAGE"
  "$ROOT/scripts/wine-run" "$ovinstall" pack "$(windows_path "$ROOT/outside/installer/package/suite.pkg")" \
    "$(windows_path "$SUITE_PACKAGE")" --build "$(windows_path "$build")" --source "$(windows_path "$ROOT")" \
    --samples "$(windows_path "$ROOT/build/samples")" | tr -d '\r' | tail -n 1
  [ "${PIPESTATUS[0]}" -eq 0 ] || return 1
  "$ROOT/scripts/wine-run" "$ovinstall" install "$(windows_path "$SUITE_PACKAGE")" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# Removal ends with the setup library's parting message, which the window manager puts in front with the
# keyboard: answered with Return once it shows.
uninstall_suite() {
  local ovinstall="$ROOT/build/win/outside/installer/ovinstall.exe" box="" _
  # shellcheck disable=SC1091
  . "$OVRIN_WINE_SESSION/wine-session.env" && export DISPLAY="$SESSION_DISPLAY"
  . "$ROOT/scripts/lib/xwindows.sh"
  local report; report=$(mktemp)
  "$ROOT/scripts/wine-run" "$ovinstall" uninstall >"$report" &
  local removal=$!
  for _ in $(seq 600); do
    box=$(x_window '^ovinstall\.exe$' "OVRIN Mobile" --visible)
    [ -n "$box" ] && break
    kill -0 "$removal" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$box" ]; then
    sleep 0.3 # drawn before the picture is taken
    [ -n "${SUITE_SCREENSHOT:-}" ] && import -window root "$SUITE_SCREENSHOT" 2>/dev/null
    xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
  elif kill -0 "$removal" 2>/dev/null; then
    echo "install: no parting message in 60 s; the removal is ended" >&2
    pkill -f ovinstall.exe
  fi
  wait "$removal"
  local status=$?
  tr -d '\r' <"$report"
  rm -f "$report"
  return $status
}
