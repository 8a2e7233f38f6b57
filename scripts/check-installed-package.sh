#!/usr/bin/env bash
# Proves an installed zemvalkorta package works for a normal user: every
# program answers --version, the command-line tool downloads from the
# installed virtual instrument into a new project and writes a report PDF,
# the window starts under Xvfb with that project, closes by its Exit command
# (Ctrl+E) and leaves its settings in the user's configuration folder.
# Run as a normal user after `sudo apt install ./zemvalkorta_*.deb`; needs
# xvfb-run (xvfb, xauth) and xdotool. Prints one verdict line; exits non-zero
# on any failure.
set -uo pipefail

verdict() { echo "check-installed-package: $*"; }
fail() {
  verdict "FAIL: $*"
  exit 1
}

[ "$(id -u)" -ne 0 ] || fail "run as a normal user, not as root"
for tool in xvfb-run xauth xdotool; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (packages xvfb, xauth, xdotool)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/zemvalkorta-check-XXXXXX") || fail "no temporary folder"
instrument_pid=
cleanup() {
  [ -n "$instrument_pid" ] && kill "$instrument_pid" 2>/dev/null && wait "$instrument_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# 1. The installed programs and their versions.
versions=()
for program in zemvalkorta zemvalkorta-cli zemvalkorta-instrument; do
  path=$(command -v "$program") || fail "$program is not on the PATH"
  [ "$path" = "/usr/bin/$program" ] || fail "$program is $path, not the installed /usr/bin/$program"
  output=$("$program" --version 2>"$work/version.err") || fail "$program --version failed: $(cat "$work/version.err")"
  line=${output%%$'\n'*}
  [[ "$line" =~ ^$program\ \(ZEMVALKORTA\)\ [0-9]+\.[0-9]+ ]] || fail "$program --version printed '$line'"
  versions+=("${line##* }")
done
[ -x /usr/lib/zemvalkorta/zemvalkorta-probe ] || fail "the probe /usr/lib/zemvalkorta/zemvalkorta-probe is missing"

# 2. The virtual instrument, a new project downloaded from it, a report.
socket="$work/instrument.sock"
zemvalkorta-instrument --socket "$socket" --pace immediate --measurements 3 >"$work/instrument.out" 2>&1 &
instrument_pid=$!
for _ in $(seq 100); do
  [ -S "$socket" ] && break
  kill -0 "$instrument_pid" 2>/dev/null || fail "the virtual instrument ended: $(cat "$work/instrument.out")"
  sleep 0.1
done
[ -S "$socket" ] || fail "the virtual instrument made no socket within 10 s"

project="$work/check.fdb"
zemvalkorta-cli create "$project" >"$work/cli.out" 2>&1 || fail "create: $(cat "$work/cli.out")"
download=$(zemvalkorta-cli download "$project" --instrument-socket "$socket" 2>"$work/cli.err") ||
  fail "download: $(cat "$work/cli.err")"
[[ "$download" =~ \"Added\":\ ([1-9][0-9]*) ]] || fail "download added nothing: $download"
added=${BASH_REMATCH[1]}
zemvalkorta-cli report "$project" --all --pdf "$work/report.pdf" >"$work/cli.out" 2>&1 ||
  fail "report: $(cat "$work/cli.out")"
[ "$(head -c 5 "$work/report.pdf" 2>/dev/null)" = "%PDF-" ] || fail "the report is not a PDF file"
pdf_bytes=$(stat -c %s "$work/report.pdf")

# 3. The window: shows the project, ends by its Exit command, writes its settings.
settings="${XDG_CONFIG_HOME:-$HOME/.config}/zemvalkorta/zemvalkorta.ini"
case "${XDG_CONFIG_HOME:-}" in /*) ;; *) settings="$HOME/.config/zemvalkorta/zemvalkorta.ini" ;; esac
rm -f "$settings"
cat >"$work/window.sh" <<'WINDOW'
#!/usr/bin/env bash
# Inside the X server: start the window, wait for its title to name the
# project, press Ctrl+E (Exit) and wait for the program to end.
project=$1
zemvalkorta "$project" >"$2" 2>&1 &
pid=$!
title="ZEMVALKORTA-1.0 - [$(basename "$project")]"
window=
for _ in $(seq 120); do
  window=$(xdotool search --onlyvisible --name "^$(printf '%s' "$title" | sed 's/[][\.*^$]/\\&/g')\$" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "ended before showing its window"; exit 1; }
  sleep 0.5
done
[ -n "$window" ] || { echo "no window titled '$title' within 60 s"; kill "$pid"; exit 1; }
sleep 1
# No window manager runs here: give the window the keyboard focus directly.
timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || timeout 5 xdotool windowactivate "$window" 2>/dev/null
xdotool key --clearmodifiers ctrl+e
for _ in $(seq 60); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the window did not close within 30 s of Exit"
  kill "$pid"
  exit 1
fi
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { echo "the program ended with status $status"; exit 1; }
echo "shown and closed"
WINDOW
chmod +x "$work/window.sh"
window=$(timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" "$work/window.sh" "$project" "$work/window.log" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "window: ${window:-xvfb-run ended with status $status} ($(tr '\n' ' ' <"$work/window.log"))"
if grep -q "zemvalkorta-probe not found" "$work/window.log"; then fail "the window did not find its probe"; fi
[ -f "$settings" ] || fail "no settings file at $settings after Exit"
grep -q '^\[Graphics\]' "$settings" || fail "$settings holds no [Graphics] section"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
case "${XDG_DATA_HOME:-}" in /*) ;; *) data="$HOME/.local/share" ;; esac
[ -d "$data/zemvalkorta/projects" ] || fail "no projects folder at $data/zemvalkorta/projects"

verdict "PASS: version ${versions[0]}; $added measurements downloaded, report PDF $pdf_bytes bytes; window shown and closed by Exit; settings in $settings"
