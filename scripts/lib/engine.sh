# The translation engine stand-in in the Wine prefix of build/win: the two reverse dictionaries it
# needs beyond the samples, its files laid out in one folder of the prefix (with the command-line
# translator beside the catalogue), and its registry data written by its own setup step.
# Sourced, not run; expects ROOT, and the samples of build_samples in build/samples.

ENGINE_WINDOWS_FOLDER='C:\Program Files\Ovrinsoft\Pocket OVRIN'

# The Russian-German and Russian-French dictionaries, reversed from the FreeDict samples' sources.
build_engine_dictionaries() {
  local dicbuild="$ROOT/build/native/tools/dicbuild/dicbuild" dictd=/usr/share/dictd out="$ROOT/build/samples"
  [ -f "$out/freedict-rg.dic" ] && [ "$out/freedict-rg.dic" -nt "$dicbuild" ] ||
    "$dicbuild" --style freedict --reverse --name "FreeDict RG" --direction GR "$dictd/freedict-deu-rus.index" "$dictd/freedict-deu-rus.dict.dz" "$out/freedict-rg.dic" >/dev/null || return 1
  [ -f "$out/freedict-rf.dic" ] && [ "$out/freedict-rf.dic" -nt "$dicbuild" ] ||
    "$dicbuild" --style freedict --reverse --name "FreeDict RF" --direction FR "$dictd/freedict-fra-rus.index" "$dictd/freedict-fra-rus.dict.dz" "$out/freedict-rf.dic" >/dev/null || return 1
}

install_engine() {
  local win="$ROOT/build/win" samples="$ROOT/build/samples" data="$ROOT/outside/mtengine/data"
  local engine="$win/outside/mtengine" setup="$win/outside/mtengine/mtsetup.exe"
  build_engine_dictionaries || { echo "engine: building the reverse dictionaries failed"; return 1; }
  # The first call creates the prefix when it is new.
  "$ROOT/scripts/wine-run" "$setup" uninstall || { echo "engine: the Wine prefix is not usable"; return 1; }
  local folder="$win/wineprefix/drive_c/Program Files/Ovrinsoft/Pocket OVRIN"
  mkdir -p "$folder" || return 1
  cp "$engine/dircat.dll" "$engine/ovrinldb.dll" "$data/dircat.dat" "$win/tools/ovtrans/ovtrans.exe" \
     "$win/outside/xlatcp/XLATCP.dll" "$folder/" || return 1
  local prefix dictionary
  for prefix in ER GR FR RE RG RF; do
    case $prefix in
      ER) dictionary=mueller-er.dic ;; RE) dictionary=mueller-re.dic ;;
      GR) dictionary=freedict-gr.dic ;; RG) dictionary=freedict-rg.dic ;;
      FR) dictionary=freedict-fr.dic ;; RF) dictionary=freedict-rf.dic ;;
    esac
    rm -rf "${folder:?}/$prefix" && mkdir -p "$folder/$prefix" || return 1
    cp "$engine/XLMAIN.dll" "$folder/$prefix/${prefix}XLMAIN.DLL" &&
      cp "$samples/$dictionary" "$data/$prefix/"* "$folder/$prefix/" || return 1
  done
  "$ROOT/scripts/wine-run" "$setup" install "$ENGINE_WINDOWS_FOLDER" || { echo "engine: the registry setup failed"; return 1; }
  echo "engine: installed in $ENGINE_WINDOWS_FOLDER; try: scripts/wine-run \"$folder/ovtrans.exe\" translate ER Hello world"
}
