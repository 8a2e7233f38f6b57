#!/usr/bin/env bash
# Starts the virtual instrument with a demo seed in the background and opens
# the main window; closing the window ends the instrument too.
# Usage: scripts/demo.sh [build-dir] [demo-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
demo_dir=${2:-${ZEMVALKORTA_DEMO_DIR:-$HOME/.local/share/zemvalkorta/demo}}
mkdir -p "$demo_dir"

instrument="$build_dir/apps/instrument/zemvalkorta-instrument"
program="$build_dir/apps/gui/zemvalkorta"
for binary in "$instrument" "$program"; do
  [ -x "$binary" ] || { echo "demo: $binary is missing; build first (scripts/build.sh $build_dir)" >&2; exit 1; }
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "demo: no display; run it from a desktop session (or under xvfb-run)" >&2
  exit 1
fi

# The program finds the instrument by its socket in the per-user instrument folder.
"$instrument" --seed "${ZEMVALKORTA_DEMO_SEED:-2026}" --measurements "${ZEMVALKORTA_DEMO_MEASUREMENTS:-6}" \
  > "$demo_dir/instrument.socket" &
instrument_pid=$!
trap 'kill "$instrument_pid" 2>/dev/null || true; wait "$instrument_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -s "$demo_dir/instrument.socket" ] && break
  kill -0 "$instrument_pid" 2>/dev/null || { echo "demo: the virtual instrument did not start" >&2; exit 1; }
  sleep 0.1
done
socket=$(head -n 1 "$demo_dir/instrument.socket")
echo "demo: virtual instrument on $socket"

# A demo project in the program's projects folder, filled from the instrument
# once; the open dialog starts in that folder.
cli="$build_dir/apps/cli/zemvalkorta-cli"
projects="$(dirname "$program")/projects"
demo_project="$projects/demo.fdb"
if [ -x "$cli" ] && [ ! -e "$demo_project" ]; then
  mkdir -p "$projects"
  "$cli" create "$demo_project" >/dev/null &&
    "$cli" download "$demo_project" --instrument-socket "$socket" >/dev/null ||
    { echo "demo: could not prepare $demo_project" >&2; rm -f "$demo_project"; }
fi
echo "demo: create a project (Файл > Создать) and read the instrument (Файл > Считать из прибора)"
if [ -e "$demo_project" ]; then
  echo "demo: opening the demo project $demo_project"
  "$program" "$demo_project"
else
  "$program"
fi
