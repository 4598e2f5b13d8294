# The translation engine stand-in's data beyond the samples: the two reverse dictionaries its
# Russian-German and Russian-French directions use. The installer puts the engine in place
# (scripts/lib/install.sh). Sourced, not run; expects ROOT and the samples in build/samples.

# The Russian-German and Russian-French dictionaries, reversed from the FreeDict samples' sources.
build_engine_dictionaries() {
  local dicbuild="$ROOT/build/native/tools/dicbuild/dicbuild" dictd=/usr/share/dictd out="$ROOT/build/samples"
  [ -f "$out/freedict-rg.dic" ] && [ "$out/freedict-rg.dic" -nt "$dicbuild" ] ||
    "$dicbuild" --style freedict --reverse --name "FreeDict RG" --direction GR "$dictd/freedict-deu-rus.index" "$dictd/freedict-deu-rus.dict.dz" "$out/freedict-rg.dic" >/dev/null || return 1
  [ -f "$out/freedict-rf.dic" ] && [ "$out/freedict-rf.dic" -nt "$dicbuild" ] ||
    "$dicbuild" --style freedict --reverse --name "FreeDict RF" --direction FR "$dictd/freedict-fra-rus.index" "$dictd/freedict-fra-rus.dict.dz" "$out/freedict-rf.dic" >/dev/null || return 1
}
