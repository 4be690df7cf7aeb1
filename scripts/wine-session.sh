# SPDX-License-Identifier: MIT
# Sourced by scripts/test-windows.sh and bench/windows_bench.sh: `wine_session FOLDER` runs Wine
# for the rest of the calling script with a prefix of its own in FOLDER/wine, made on first use,
# on a private X display, and ends both when the script exits. Nothing of the user's Wine or
# desktop is touched; Wine's own output goes to FOLDER/wine.log.

wine_session() {
  local folder=$1
  # A 64-bit prefix; no debug chatter (it would also say that wine32 is missing, which nothing
  # here needs); no Mono or Gecko prompts; no menu entries written to the host's desktop by
  # winemenubuilder; UTF-8, so that paths beyond ASCII reach the programs intact.
  export WINEPREFIX=$(realpath -m "$folder/wine") WINEARCH=win64 WINEDEBUG=-all LANG=C.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  wine_log=$folder/wine.log
  : > "$wine_log"
  # A server left from an earlier run that did not end (killed, say) serves a desktop on an X
  # display that is gone.
  wineserver -k 2>/dev/null || true

  # Windows' display scaling: 96 dots per inch (100%) unless LEXITROVE_DESKTOP_DPI says
  # otherwise (120 is 125%, 144 is 150%), as for the Linux suites; the screen grows with it, as
  # a real screen at that scaling has the pixels for it.
  local dpi=${LEXITROVE_DESKTOP_DPI:-96}
  # A private X display, at the first free number from 100 on. Wine must never start without
  # one: its desktop process would then refuse windows to every program for a while.
  wine_xvfb=
  local number
  for number in $(seq 100 199); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 "$((1280 * dpi / 96))x$((800 * dpi / 96))x24" -nolisten tcp >>"$wine_log" 2>&1 &
    wine_xvfb=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      kill -0 "$wine_xvfb" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$wine_xvfb" 2>/dev/null; then break; fi
    kill "$wine_xvfb" 2>/dev/null || true
    wine_xvfb=
  done
  if [ -z "$wine_xvfb" ]; then
    echo "wine-session: could not start Xvfb on any display from :100 to :199" >&2
    return 1
  fi
  export DISPLAY=:$number
  trap wine_session_end EXIT

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-session: making the Wine prefix $WINEPREFIX (its output: $wine_log)" >&2
    # Once more from scratch if the first try fails, saying why: the prefix is where the tests
    # run, not what they test.
    wine_make_prefix || {
      echo "wine-session: making the prefix failed; the end of $wine_log:" >&2
      tail -n 15 "$wine_log" | sed 's/^/    /' >&2
      echo "wine-session: trying once more" >&2
      wineserver -k 2>/dev/null || true
      rm -rf "$WINEPREFIX"
      wine_make_prefix || { echo "wine-session: could not make the Wine prefix; see $wine_log" >&2; return 1; }
    }
  fi
  # Set every time, so that a prefix kept from a run at another scaling does not keep it.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$wine_log" 2>&1 &&
    wineserver -w || { echo "wine-session: could not set $dpi dots per inch in $WINEPREFIX" >&2; return 1; }
  # One server for the whole script, with its services started away from any caller's pipes: a
  # service started by a program whose output is read would hold that output open.
  if ! wineserver -p || ! wine cmd /c exit </dev/null >>"$wine_log" 2>&1; then
    echo "wine-session: Wine would not start in $WINEPREFIX; the end of $wine_log:" >&2
    tail -n 15 "$wine_log" | sed 's/^/    /' >&2
    return 1
  fi
}

wine_make_prefix() {
  wineboot -i >>"$wine_log" 2>&1 &&
    wineserver -w &&
    # Without a window manager Wine waits for one on every closed window; it manages its own.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$wine_log" 2>&1 &&
    wineserver -w
}

wine_session_end() {
  exec 8>&- 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$wine_xvfb" 2>/dev/null || true
}
