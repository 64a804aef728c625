#!/usr/bin/env bash
# Starts the real reader in a real X server (Xvfb):
#  1. through a symbolic link from another working directory, with a valid
#     book beside the real program: the main window appears no sooner than
#     two seconds after the start (the splash window's time), and under a
#     window manager (openbox) it is and stays maximised;
#  2. with --staff: Alt+F opens the chapter dialog for the selected chapter,
#     owned by the main window (minimised and restored with it), of fixed size;
#  3. without a book (the box names the file and the commands that make one),
#     4. with a FIFO in the book's place, 5. with an incomplete
#     data/ebook.conf: the "Application Error" box appears, Enter answers it,
#     and the program ends with exit code 1.
set -uo pipefail
reader=$1 tool=$2

if [ -z "${E2E_INNER:-}" ]; then
  for cmd in xvfb-run xdotool xprop openbox; do
    command -v "$cmd" >/dev/null || { echo "e2e: $cmd is missing (scripts/deps.sh test installs it)"; exit 1; }
  done
  exec xvfb-run -a -s "-screen 0 1280x800x24" env E2E_INNER=1 QT_QPA_PLATFORM=xcb "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/app/data" "$work/links" "$work/elsewhere" "$work/config"
# A first start with no remembered settings (the user's stay untouched).
export XDG_CONFIG_HOME="$work/config"
cp "$reader" "$work/app/ebook-reader"
ln -s "$work/app/ebook-reader" "$work/links/reader"
"$tool" demo "$work/app/data/ebook.mdb" >/dev/null || { echo "e2e: demo book failed"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
now() { date +%s%N; }
# Polls a condition for up to ten seconds.
eventually() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }
maximised() {
  local state; state=$(xprop -id "$1" _NET_WM_STATE 2>/dev/null)
  [[ $state == *_NET_WM_STATE_MAXIMIZED_VERT* && $state == *_NET_WM_STATE_MAXIMIZED_HORZ* ]]
}
# The first visible window whose name matches, within $2 seconds. Polled:
# xdotool's own --sync search ends early when a window vanishes under it.
findWindow() {
  local wid
  for _ in $(seq $(($2 * 5))); do
    wid=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    sleep 0.2
  done
  return 1
}
wide() { local w; w=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p'); [ "${w:-0}" -ge 1200 ]; }

openbox >/dev/null 2>&1 &
eventually sh -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" || fail "openbox did not start"

# 1. A valid book, started through a link from another directory.
start=$(now)
(cd "$work/elsewhere" && exec ../links/reader) &
pid=$!
if wid=$(findWindow '唐诗宋词选读' 30); then
  elapsed=$(( ($(now) - start) / 1000000 ))
  echo "main window after ${elapsed} ms"
  [ "$elapsed" -ge 2000 ] || fail "main window appeared after ${elapsed} ms, before the splash's two seconds"
  maximised_and_wide() { maximised "$1" && wide "$1"; }
  eventually maximised_and_wide "$wid" \
    || fail "the main window is not maximised ($(xdotool getwindowgeometry "$wid" | tail -n 1))"
else
  fail "the main window did not appear"
fi
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

# 2. Staff: the maintenance buttons' Alt keys work.
"$work/app/ebook-reader" --staff &
pid=$!
if wid=$(findWindow '唐诗宋词选读' 30); then
  xdotool windowactivate --sync "$wid" key alt+f
  if dialog=$(findWindow '^章节内容维护$' 10); then
    [[ $(xprop -id "$dialog" WM_TRANSIENT_FOR) == *"$(printf '0x%x' "$wid")"* ]] || fail "--staff: the dialog is not the main window's"
    actions=$(xprop -id "$dialog" _NET_WM_ALLOWED_ACTIONS)
    [[ $actions != *MAXIMIZE* && $actions != *RESIZE* && $actions == *CLOSE* ]] || fail "--staff: the dialog allows $actions"
    state() { [[ $(xprop -id "$dialog" WM_STATE) == *"$1"* && $(xprop -id "$wid" WM_STATE) == *"$1"* ]]; }
    xdotool windowminimize "$dialog"
    eventually state Iconic || fail "--staff: the modal dialog was minimised alone"
    xdotool windowactivate "$wid"
    eventually state Normal || fail "--staff: the modal dialog did not come back with the main window"
  else
    fail "--staff: Alt+F opened no chapter dialog"
  fi
else
  fail "--staff: the main window did not appear"
fi
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

# 3. No book, 4. a FIFO in the book's place (which must not block the
# start), 5. a bad server configuration: the start fails with the
# Application Error box and exit code 1. $2, when given, is text the box
# holds, which a start from a terminal also shows there.
expectApplicationError() {
  "$work/app/ebook-reader" 2>"$work/stderr" &
  pid=$!
  if wid=$(findWindow '^Application Error$' 30); then
    if [ -n "${2:-}" ]; then
      [[ $(cat "$work/stderr") == *"$2"* ]] || fail "$1: the error says '$(cat "$work/stderr")', without '$2'"
    fi
    xdotool windowfocus --sync "$wid" key Return
    timeout 10 tail --pid="$pid" -f /dev/null
    if kill -0 "$pid" 2>/dev/null; then
      fail "$1: the program did not end after OK"
      kill -9 "$pid"
    else
      wait "$pid"; code=$?
      [ "$code" -eq 1 ] || fail "$1: exit code $code after the Application Error box, expected 1"
    fi
    if xdotool search --onlyvisible --name '唐诗宋词选读|澜州省档案馆机读室' >/dev/null 2>&1; then
      fail "$1: a main window was shown although the start failed"
    fi
  else
    fail "$1: no Application Error box"
    kill -9 "$pid" 2>/dev/null
  fi
}
rm "$work/app/data/ebook.mdb"
expectApplicationError "without a book" "找不到书库文件：
$work/app/data/ebook.mdb
请把书库文件放到这个位置，例如用下列命令之一：
新建空书：ebook-tool create"
mkfifo "$work/app/data/ebook.mdb"
expectApplicationError "a FIFO as the book"
# 4. A server configuration that names no server: it is the book, and it fails.
rm "$work/app/data/ebook.mdb"
printf '[server]\nhost=127.0.0.1\n' > "$work/app/data/ebook.conf"
expectApplicationError "an incomplete ebook.conf"

if [ "$failures" -eq 0 ]; then echo "e2e startup: 5 passed, 0 failed"; exit 0; fi
echo "e2e startup: $failures failed"; exit 1
