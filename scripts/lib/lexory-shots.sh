# Screenshots of the dictionary program's windows, for scripts/run --lexory-shots. Sourced by scripts/run
# once the lookup window shows the word's headword; drives the running program with lexory_probe (window
# messages) and crops each window out of the virtual display into out/:
#   lexory-article.png    the article of the word's headword
#   lexory-bookmarks.png  the bookmark list opened from the article window, with the headword bookmarked
#   lexory-history.png    the history list
#   lexory-about.png      the about window
#   lexory-help.png       the help in the browser stand-in
# Needs: $wine_run, $build, $ROOT, $SESSION_DISPLAY (from the session's wine-session.env).

# lexory_id NAME: the id the program's resource header (lexory/resource.h) defines as NAME; fails, saying
# so, when the header has no such name.
lexory_id() {
  awk -v name="$1" '$1 == "#define" && $2 == name { print $3; found = 1; exit } END { exit !found }' \
    "$ROOT/lexory/resource.h" || { echo "run: lexory/resource.h defines no $1" >&2; return 1; }
}

# The program's commands and controls that the screenshots go through.
LEXORY_ID_ADD_BOOKMARK=$(lexory_id ID_ADD_BOOKMARK)
LEXORY_ID_BOOKMARK_LIST=$(lexory_id ID_BOOKMARK_LIST)
LEXORY_ID_HISTORY=$(lexory_id ID_HISTORY)
LEXORY_ID_ABOUT=$(lexory_id ID_ABOUT)
LEXORY_ID_HELP=$(lexory_id ID_HELP_INDEX)
LEXORY_IDC_HISTORY_LIST=$(lexory_id IDC_HISTORY_LIST)
LEXORY_IDC_ABOUT_TEXT=$(lexory_id IDC_ABOUT_TEXT)

lexory_probe() { "$wine_run" "$build/lexory/lexory_probe.exe" "$@" | tr -d '\r'; }

# lexory_crop NAME "x y w h": the window's rectangle of the display into out/NAME.
lexory_crop() {
  local x y width height
  read -r x y width height <<<"$2"
  [ -n "${height:-}" ] || { echo "run: no window for $1" >&2; return 1; }
  DISPLAY="$SESSION_DISPLAY" import -window root -crop "${width}x${height}+${x}+${y}" +repage "$ROOT/out/$1"
}

lexory_shots() {
  local rect failed=0
  # Wine draws the browser's frame and caption itself, as it does the program's.
  "$wine_run" reg add 'HKCU\Software\Wine\AppDefaults\iexplore.exe\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  rect=$(lexory_probe open) && lexory_crop lexory-article.png "$rect" || failed=1
  lexory_probe command $LEXORY_ID_ADD_BOOKMARK >/dev/null || failed=1
  lexory_probe command $LEXORY_ID_BOOKMARK_LIST >/dev/null &&
    rect=$(lexory_probe window $LEXORY_IDC_HISTORY_LIST) && lexory_crop lexory-bookmarks.png "$rect" || failed=1
  lexory_probe close >/dev/null # the bookmark list
  lexory_probe close >/dev/null # the article
  lexory_probe command $LEXORY_ID_HISTORY >/dev/null &&
    rect=$(lexory_probe window $LEXORY_IDC_HISTORY_LIST) && lexory_crop lexory-history.png "$rect" || failed=1
  lexory_probe close >/dev/null
  lexory_probe command $LEXORY_ID_ABOUT >/dev/null &&
    rect=$(lexory_probe window $LEXORY_IDC_ABOUT_TEXT) && lexory_crop lexory-about.png "$rect" || failed=1
  lexory_probe close >/dev/null
  lexory_probe command $LEXORY_ID_HELP >/dev/null &&
    rect=$(lexory_probe browser) && lexory_crop lexory-help.png "$rect" || failed=1
  lexory_probe browser-close >/dev/null
  [ $failed -eq 0 ] && echo "run: screenshots of the article, the lists, the about window and the help in out/lexory-*.png"
  return $failed
}
