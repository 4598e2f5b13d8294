# scripts/run --page: a web page translated in the browser stand-in. Sourced by scripts/run once the
# suite is installed and the device's Wine session runs (OVRIN_WINE_SESSION); expects ROOT. Starts the installed toolbar resident,
# opens the sample page outside/browser/sample/index.html in the installed browser (which loads the
# installed browser helper, Pagelift.dll), sets the page event as the toolbar's page command does and
# waits until the page shows its Russian translation. Screenshots of the browser before and after go
# to out/page-run-before.png and out/page-run-after.png. With a display (DISPLAY set) the programs
# stay until ended by hand; without one the browser is closed at the end.

run_page() {
  local build="$ROOT/build/win" wine_run="$ROOT/scripts/wine-run"
  local folder="$OVRIN_WINE_SESSION/wineprefix/drive_c/Program Files/OVRIN Mobile"
  local probe="$build/outside/browser/browser_probe.exe"
  local page="Z:${ROOT//\//\\}\\outside\\browser\\sample\\index.html"
  mkdir -p "$ROOT/out"
  . "$OVRIN_WINE_SESSION/wine-session.env"
  shot() { # NAME GEOMETRY: the browser's frame out of the whole display
    local x y width height
    read -r x y width height <<<"$2"
    DISPLAY="$SESSION_DISPLAY" import -window root -crop "${width}x${height}+${x}+${y}" +repage "$ROOT/out/$1" &&
      echo "run: screenshot out/$1"
  }

  "$wine_run" "$folder/OvrinToolbar.exe" >/dev/null 2>&1 &
  . "$ROOT/scripts/lib/xwindows.sh"
  DISPLAY="$SESSION_DISPLAY" x_wait_window 60 '^ovrintoolbar\.exe$' "OVRIN Mobile" >/dev/null ||
    { echo "run: the toolbar did not start" >&2; return 1; }
  "$wine_run" "$folder/iexplore.exe" "$page" >/dev/null 2>&1 &
  local geometry
  geometry=$("$wine_run" "$probe" wait 60 | tr -d '\r') || { echo "run: the browser showed no page" >&2; return 1; }
  shot page-run-before.png "$geometry"
  local status
  geometry=$("$wine_run" "$probe" translate 120 | tr -d '\r')
  status=$?
  [ $status -eq 0 ] || [ $status -eq 3 ] || { echo "run: the page was not written back" >&2; return 1; }
  shot page-run-after.png "$geometry"
  if [ $status -eq 3 ]; then
    # The toolbar opens the engine through the catalogue (dircat.dll, dircat.dat) in its own folder.
    [ -f "$folder/dircat.dll" ] || echo "run: no engine catalogue (dircat.dll) beside the installed toolbar" >&2
    echo "run: the toolbar gave the page back untranslated" >&2
    return 1
  fi
  echo "run: the sample page is shown translated in the browser; Tab chooses a link, Enter follows it"
  if [ -n "${DISPLAY:-}" ]; then
    wait
  else
    "$wine_run" "$probe" close
  fi
}
