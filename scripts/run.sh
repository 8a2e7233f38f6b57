#!/usr/bin/env bash
# Builds the program and opens its main window next to a virtual instrument
# holding demo measurements; closing the window ends the instrument.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
exec scripts/demo.sh build "${ZEMVALKORTA_DEMO_DIR:-$HOME/.local/share/zemvalkorta/demo}"
