#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows build under Wine beside the Linux one, in one run, as a Markdown table on standard
# output (progress and Wine's words on standard error):
# - start-up to the window shown, lexitrove.exe on its shipped list against a hand-written Win32
#   window of the same shape that reads no list and runs none of the logic (windows_bare_window.cpp:
#   the same menu bar, controls, fonts, tooltip, manifest and icon), best and median of 21 starts
#   each, taken in turn (goal: at most 1.1 times that window); the same against the window with
#   the menu bar alone, for comparison;
# - "Words (10)" at 10,000,000 lines, start-up count and ten fetches, on the same list: the
#   Windows build of windows_words_bench.cpp under Wine against its Linux build, the two taking
#   turns (goal: at most 1.5 times the Linux build).
# LINUX-BUILD is a Release build configured with -DLEXITROVE_BENCHMARKS=ON (default build-bench,
# as bench/report.sh makes it); the Windows one goes to build-windows-bench. Exits 1 when a goal
# is missed, 2 when something could not be measured.
#   bench/windows_bench.sh [LINUX-BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build-bench}
windows=build-windows-bench
jobs=$(scripts/jobs.sh)
lines=10000000
say() { echo "windows_bench: $*" >&2; }
fail() { say "$*"; exit 2; }

# The Windows tools, and what the Linux benchmark build needs besides.
BUILD=$windows scripts/install-deps.sh windows g++ libgtest-dev >&2 || fail "could not install what is missing"
mkdir -p "$windows"
say "building the Linux benchmark in $linux and the Windows programs in $windows"
if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=Release -DLEXITROVE_BENCHMARKS=ON >"$windows/configure-linux.log" 2>&1 \
    || { cat "$windows/configure-linux.log" >&2; fail "could not configure $linux"; }
fi
cmake --build "$linux" -j"$jobs" --target windows_words_bench >&2 || fail "could not build the Linux benchmark"
cmake -S . -B "$windows" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DBUILD_TESTING=OFF -DLEXITROVE_BENCHMARKS=ON >"$windows/configure.log" 2>&1 \
  || { cat "$windows/configure.log" >&2; fail "could not configure $windows"; }
cmake --build "$windows" -j"$jobs" --target lexitrove windows_words_bench windows_bare_window windows_plain_window windows_startup_bench >&2 \
  || fail "could not build the Windows programs"

# shellcheck source=scripts/wine-session.sh
. scripts/wine-session.sh
wine_session "$windows" >&2 || fail "could not start Wine"
# Programs' output goes to files: a pipe read here would be held open by Wine's desktop process,
# which the first window starts.
run() {
  local out=$windows/run.out
  "$@" >"$out" 2>>"$wine_log" </dev/null || { cat "$out" >&2; fail "$* failed"; }
  cat "$out"
}
field() { sed -n "s/.*$1 \([0-9.]*\).*/\1/p" <<<"$2" | head -n 1; }

say "start-up: lexitrove.exe and the two bare windows, 21 times each"
startup=$(run wine "$windows/bench/windows_startup_bench.exe" 21 "$(winepath -w "$windows/lexitrove.exe")" \
                   "$(winepath -w "$windows/bench/windows_plain_window.exe")" \
                   "$(winepath -w "$windows/bench/windows_bare_window.exe")")
programLine=$(grep '^lexitrove.exe' <<<"$startup") || fail "no start-up figure for lexitrove.exe"
plainLine=$(grep '^windows_plain_window.exe' <<<"$startup") || fail "no start-up figure for the plain window"
bareLine=$(grep '^windows_bare_window.exe' <<<"$startup") || fail "no start-up figure for the bare window"

say "writing a list of $lines lines"
list=$windows/list-$lines
mkdir -p "$list"
if [ ! -f "$list/Words.TxT" ] || [ "$(wc -l <"$list/Words.TxT")" != "$lines" ]; then
  # The words of bench/bench_lists.h, in the same order.
  awk -v n="$lines" 'BEGIN { split("abacus dove kettle aorta lunchbox oak quintuple zen", w, " ");
                             for (i = 0; i < n; i++) print w[i % 8 + 1] }' >"$list/Words.TxT"
fi
cat "$list/Words.TxT" >/dev/null # into the page cache for both
# The two builds take turns, so that whatever else the machine does falls on both alike: 9 rounds,
# each the best of 3 runs in one process of either build; the figures are the best and the
# median of those 9.
say "\"Words (10)\" at $lines lines: the Linux build and the Windows build under Wine in turn, 9 rounds"
linuxBests=()
windowsBests=()
windowsList=$(winepath -w "$list")
for _ in 1 2 3 4 5 6 7 8 9; do
  linuxBests+=("$(field best "$(run "$linux/bench/windows_words_bench" "$list" 3)")")
  windowsBests+=("$(field best "$(run wine "$windows/bench/windows_words_bench.exe" "$windowsList" 3)")")
done
spread() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { printf "best %s median %s", v[1], v[int((NR + 1) / 2)] }'; }
linuxWords=$(spread "${linuxBests[@]}")
windowsWords=$(spread "${windowsBests[@]}")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v r="$1" -v goal="$2" 'BEGIN { print (r <= goal ? "yes" : "**no**") }'; }
startRatio=$(ratio "$(field best "$programLine")" "$(field best "$plainLine")")
startMedianRatio=$(ratio "$(field median "$programLine")" "$(field median "$plainLine")")
bareRatio=$(ratio "$(field best "$programLine")" "$(field best "$bareLine")")
bareMedianRatio=$(ratio "$(field median "$programLine")" "$(field median "$bareLine")")
wordsRatio=$(ratio "$(field best "$windowsWords")" "$(field best "$linuxWords")")
wordsMedianRatio=$(ratio "$(field median "$windowsWords")" "$(field median "$linuxWords")")

echo "| Windows build under Wine | ms (best / median) | baseline | baseline ms (best / median) | ratio (best / median) | goal | reached |"
echo "|---|---:|---|---:|---:|---:|---|"
echo "| start-up to window shown, shipped list | $(field best "$programLine") / $(field median "$programLine") |" \
     "the same window written by hand, no list, no logic | $(field best "$plainLine") / $(field median "$plainLine") |" \
     "$startRatio / $startMedianRatio | 1.1 | $(verdict "$startRatio" 1.1) |"
echo "| start-up to window shown, shipped list | $(field best "$programLine") / $(field median "$programLine") |" \
     "the menu bar alone, for comparison | $(field best "$bareLine") / $(field median "$bareLine") |" \
     "$bareRatio / $bareMedianRatio | - | - |"
echo "| \"Words (10)\" at 10,000,000 lines | $(field best "$windowsWords") / $(field median "$windowsWords") |" \
     "Linux build | $(field best "$linuxWords") / $(field median "$linuxWords") |" \
     "$wordsRatio / $wordsMedianRatio | 1.5 | $(verdict "$wordsRatio" 1.5) |"
echo
echo "Wine $(wine --version 2>/dev/null | tr -d '\r'), $(x86_64-w64-mingw32-g++-posix --version | head -n 1); ratios of the best of each."
[ "$(verdict "$startRatio" 1.1)" = yes ] && [ "$(verdict "$wordsRatio" 1.5)" = yes ] || exit 1
