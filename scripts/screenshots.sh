#!/usr/bin/env bash
# Renders the editor headlessly to PNGs in build/screenshots: the empty
# editor, and a loaded package with a loop playing and another queued.
# With --readme it also refreshes docs/editor.png, the picture the README shows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh >/dev/null
mkdir -p build/screenshots
(cd build/screenshots && ../tests/OrvoSamplerTests --gtest_filter='EditorPainting.*' >/dev/null)
ls build/screenshots/*.png

if [[ ${1:-} == --readme ]]; then
    mkdir -p docs
    cp build/screenshots/editor-playing-small.png docs/editor.png
    echo "docs/editor.png"
fi
