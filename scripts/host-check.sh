#!/usr/bin/env bash
# Loads the built VST3 and LV2 plug-ins through JUCE's plug-in hosting, under
# Xvfb, and checks them as a host would; then lists the LV2 bundle with lilv.
set -euo pipefail
cd "$(dirname "$0")/.."

tools="$PWD/build/tools"
artefacts="$PWD/build/plugin/OrvoSampler/OrvoSampler_artefacts/Release"
work="$PWD/build/host-check"
rm -rf "$work"
mkdir -p "$work"

"$tools/orvo-demo-song" "$work/song" >/dev/null
"$tools/orvo-to-ableton" export-sampler "$work/song"

xvfb-run -a "$tools/orvo-host-check_artefacts/Release/orvo-host-check" \
    "$artefacts/VST3/Orvo Sampler.vst3" "$artefacts/LV2" \
    "$work/song/processed/sampler/orvo_sampler_manifest.json"

LV2_PATH="$artefacts/LV2:/usr/lib/x86_64-linux-gnu/lv2:/usr/lib/lv2" \
    lv2info https://orvo.audio/plugins/orvo-sampler > "$work/lv2info.txt"
grep -m2 -E "^\s+(Name|Class):" "$work/lv2info.txt"
