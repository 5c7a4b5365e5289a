#!/usr/bin/env bash
# Sets up a fresh machine, builds every plug-in format and says where they are.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh

artefacts="$PWD/build/plugin/OrvoSampler/OrvoSampler_artefacts/Release"
echo
echo "Orvo Sampler is built:"
for artefact in "VST3/Orvo Sampler.vst3" "LV2/Orvo Sampler.lv2" "Standalone/Orvo Sampler" "AU/Orvo Sampler.component"; do
    if [[ -e "$artefacts/$artefact" ]]; then
        echo "  $artefacts/$artefact"
    fi
done
echo "  $PWD/build/tools/orvo-to-ableton (the export helper)"
