#!/usr/bin/env bash
# Builds the program and starts it with the virtual instrument and a demo project.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
demo_dir=${ZEMVALKORTA_DEMO_DIR:-$HOME/.local/share/zemvalkorta/demo}
mkdir -p "$demo_dir"
if [ -x build/apps/gui/zemvalkorta ]; then
  exec scripts/demo.sh build "$demo_dir"
fi
# Until the main window exists: process the bundled demo image and print the result.
build/apps/cli/zemvalkorta-cli process tests/data/demo-measure.bin --json
