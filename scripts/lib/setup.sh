# Shared by scripts/run and scripts/test: installs what is missing and builds the trees.
# Sourced, not run; expects ROOT to be the repository's top folder.

PACKAGES=(
  cmake ninja-build g++ clang pkg-config ccache
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  zlib1g-dev libgtest-dev googletest libbenchmark-dev libhtmlcxx-dev dpkg-dev mingw-w64-tools libwine-dev
  wine wine64 xvfb locales imagemagick xdotool x11-utils x11-xserver-utils matchbox-window-manager matchbox-panel
  python3-olefile
  mueller7-dict dict-freedict-deu-rus dict-freedict-fra-rus dict-freedict-eng-rus
  python3 hunspell-ru apertium-rus-ukr lttoolbox wordnet-base trans-de-en hunspell-fr apertium-fra-cat
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# The Windows tests run in a Russian locale so that the ANSI code page is 1251, as on the device.
ensure_locale() {
  locale -a 2>/dev/null | grep -qix 'ru_RU.utf-\?8' && return 0
  echo "setup: generating the ru_RU.UTF-8 locale"
  as_root localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

# The Windows build compiles htmlcxx's HTML parser from the Debian source package, unpacked into
# third_party/htmlcxx (ignored by git). Source entries are added beside the machine's own package
# sources, from the same archives, when it has none.
fetch_htmlcxx() {
  local target="$ROOT/third_party/htmlcxx"
  [ -f "$target/html/ParserDom.cc" ] && return 0
  if ! apt-get source --print-uris htmlcxx >/dev/null 2>&1; then
    local sources=/etc/apt/sources.list.d/ovrin-deb-src.sources list
    for list in /etc/apt/sources.list.d/*.sources; do
      [ "$list" = "$sources" ] || sed -n 's/^Types:.*\bdeb\b.*/Types: deb-src/p; /^Types:/!p' "$list"
      echo
    done | as_root tee "$sources" >/dev/null
    if [ -f /etc/apt/sources.list ]; then
      sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list | as_root tee /etc/apt/sources.list.d/ovrin-deb-src.list >/dev/null
    fi
    as_root apt-get update -qq
  fi
  echo "setup: fetching the htmlcxx sources into third_party/"
  local work
  work=$(mktemp -d "$ROOT/third_party.XXXXXX") || return 1
  (cd "$work" && apt-get source -qq htmlcxx >/dev/null 2>&1) &&
    mkdir -p "$ROOT/third_party" && rm -rf "$target" &&
    mv "$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'htmlcxx-*' | head -n 1)" "$target"
  local status=$?
  rm -rf "$work"
  [ $status -eq 0 ] && [ -f "$target/html/ParserDom.cc" ] || { echo "setup: fetching htmlcxx failed"; return 1; }
}

# configure DIR [cmake options...]: the first time only; later builds re-run cmake when needed.
configure() {
  local dir="$1"; shift
  if [ ! -f "$ROOT/$dir/build.ninja" ]; then
    mkdir -p "$ROOT/$dir"
    cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@" >"$ROOT/$dir/configure.log" 2>&1 || {
      cat "$ROOT/$dir/configure.log"; echo "setup: configuring $dir failed"; return 1; }
  fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  configure "$@" && cmake --build "$ROOT/$1"
}

build_native() { configure_and_build build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo; }
build_sanitized() { configure_and_build build/asan -DCMAKE_BUILD_TYPE=Debug -DOVRIN_SANITIZE=ON; }
build_windows() { fetch_htmlcxx && configure_and_build build/win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake"; }

# The sample dictionaries of the suite, from the dictionaries Debian ships, into build/samples.
build_samples() {
  local dicbuild="$ROOT/build/native/tools/dicbuild/dicbuild" dictd=/usr/share/dictd out="$ROOT/build/samples"
  mkdir -p "$out"
  "$dicbuild" --style mueller --name "Mueller ER" --direction ER "$dictd/mueller7.index" "$dictd/mueller7.dict.dz" "$out/mueller-er.dic" &&
  "$dicbuild" --style mueller --reverse --name "Mueller RE" --direction ER "$dictd/mueller7.index" "$dictd/mueller7.dict.dz" "$out/mueller-re.dic" &&
  "$dicbuild" --style freedict --name "FreeDict GR" --direction GR "$dictd/freedict-deu-rus.index" "$dictd/freedict-deu-rus.dict.dz" "$out/freedict-gr.dic" &&
  "$dicbuild" --style freedict --name "FreeDict FR" --direction FR "$dictd/freedict-fra-rus.index" "$dictd/freedict-fra-rus.dict.dz" "$out/freedict-fr.dic"
}
