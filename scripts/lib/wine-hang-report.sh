#!/usr/bin/env bash
# What a hung Windows program was doing, for wine-run's watchdog: the last lines it wrote, the processes
# of its Wine session and every thread's stack. Frames in the build's own programs and libraries are
# given their function, file and line from the build's debug information (the debugger shows only an
# offset for them).
#
#   wine-hang-report.sh SESSION_FOLDER OUTPUT_FILE PROGRAM [ARGS...]
#
# Runs inside the program's Wine session (WINEPREFIX and DISPLAY set by the caller); writes to standard
# output and never takes more than about 45 s.
set -uo pipefail

session_folder=$1 output=$2 program=$3
shift 3

echo "== $(date +%T.%N) hung: $program $*"
echo "-- its last lines:"
tail -n 30 "$output" 2>/dev/null
echo "-- processes:"
processes=$(timeout 15 winedbg --command "info proc" 2>&1)
echo "$processes"
name=$(basename "$program")
[[ $name == *.* ]] || name=$name.exe # "cmd" runs cmd.exe
# The process ids winedbg lists are in hex, before the executable's name in quotes.
wpid=$(echo "$processes" |
  awk -v name="'$name'" 'tolower($NF) == tolower(name) { gsub(/[^0-9a-fA-F]/, "", $1); print $1; exit }')
if [ -z "$wpid" ]; then
  echo "-- no process named $name"
  exit 0
fi
echo "-- stacks (the debugger attached to 0x$wpid):"

declare -A module_file module_base
symbolize() { # $1: module name, $2: hex offset
  local module=${1,,} file base
  if [ -z "${module_file[$module]+set}" ]; then
    file=$(find "$session_folder" -name wineprefix -prune -o -type f \( -iname "$module.exe" -o -iname "$module.dll" \) \
      -print -quit 2>/dev/null)
    base=""
    [ -n "$file" ] && base=$(x86_64-w64-mingw32-objdump -p "$file" 2>/dev/null | awk '$1 == "ImageBase" { print $2; exit }')
    module_file[$module]=$file module_base[$module]=$base
  fi
  file=${module_file[$module]} base=${module_base[$module]}
  [ -n "$file" ] && [ -n "$base" ] || return 1
  LC_ALL=C x86_64-w64-mingw32-addr2line -f -C -p -e "$file" "$(printf '0x%x' $((16#$base + 16#$2)))" 2>/dev/null
}

timeout 30 winedbg --command "bt all" "0x$wpid" 2>&1 | while IFS= read -r line; do
  if [[ $line =~ \ in\ ([A-Za-z0-9_.-]+)\ \(\+0x([0-9a-fA-F]+)\) ]] &&
    where=$(symbolize "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"); then
    echo "$line = $where"
  else
    echo "$line"
  fi
done
