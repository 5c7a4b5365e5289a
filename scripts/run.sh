#!/usr/bin/env bash
# The main job: sets up a fresh machine, builds every plug-in format and the
# tools, then makes a demo song, turns it into a sampler package with the
# export helper, and renders the demo performance through the plug-in's
# processor to a WAV.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh

tools="$PWD/build/tools"
demo="$PWD/build/demo"
rm -rf "$demo"
mkdir -p "$demo"

"$tools/orvo-demo-song" "$demo/song" --no-tempo
"$tools/orvo-to-ableton" export-sampler "$demo/song" --process-first
"$tools/orvo-demo-song" --performance "$demo/performance.mid"
"$tools/orvo-render" --package "$demo/song" --midi "$demo/performance.mid" \
    --out "$demo/orvo-demo.wav" --midi-out "$demo/led-feedback.mid"

# The stutter passage: stutter mode is a setting, restored from a state document.
"$tools/orvo-demo-song" --stutter-performance "$demo/stutter.mid"
printf '{"stutterMode": true}' > "$demo/stutter-state.json"
"$tools/orvo-render" --package "$demo/song/processed/sampler/orvo_sampler_manifest.json" --midi "$demo/stutter.mid" \
    --state "$demo/stutter-state.json" --out "$demo/orvo-demo-stutter.wav"

artefacts="$PWD/build/plugin/OrvoSampler/OrvoSampler_artefacts/Release"
echo
echo "The demo performance:  $demo/orvo-demo.wav"
echo "  the stutter passage: $demo/orvo-demo-stutter.wav"
echo "  its LED feedback:    $demo/led-feedback.mid"
echo "  the package:         $demo/song/processed/sampler/orvo_sampler_manifest.json"
echo
echo "Orvo Sampler is built:"
for artefact in "VST3/Orvo Sampler.vst3" "LV2/Orvo Sampler.lv2" "Standalone/Orvo Sampler" "AU/Orvo Sampler.component"; do
    if [[ -e "$artefacts/$artefact" ]]; then
        echo "  $artefacts/$artefact"
    fi
done
echo "  $tools/orvo-to-ableton (the export helper)"
echo "  $tools/orvo-render (offline rendering)"
