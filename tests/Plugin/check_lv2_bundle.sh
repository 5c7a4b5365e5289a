#!/usr/bin/env bash
# Checks the built LV2 bundle with Debian's lilv tools, as a host would see it:
# listed under its URI, named Orvo Sampler, an instrument, MIDI in and out.
set -euo pipefail

bundle_dir=$(realpath "$1") # the folder holding libOrvoSampler.so
uri=$2

export LV2_PATH="$(dirname "$bundle_dir"):/usr/lib/x86_64-linux-gnu/lv2:/usr/lib/lv2"

fail() { echo "FAIL: $*" >&2; exit 1; }

lv2ls | grep -qxF "$uri" || fail "lv2ls does not list $uri"

info=$(lv2info "$uri")
grep -qE '^\s*Name:\s+Orvo Sampler$' <<<"$info" || fail "name is not Orvo Sampler"
grep -qE '^\s*Class:\s+Instrument Plugin$' <<<"$info" || fail "not an instrument"
grep -qE "^\s*Binary:\s+file://.*/libOrvoSampler\.so$" <<<"$info" || fail "unexpected binary"

# One atom port each way that carries MIDI events.
midi_ports=$(awk '
    /^\t\]/ {
        if (port ~ /AtomPort/ && port ~ /midi:MidiEvent/) {
            if (port ~ /lv2:InputPort/)  print "in"
            if (port ~ /lv2:OutputPort/) print "out"
        }
        port = ""
        next
    }
    { port = port $0 }' "$bundle_dir/dsp.ttl" | sort | tr '\n' ' ')
[[ $midi_ports == "in out " ]] || fail "MIDI ports seen: '$midi_ports'"

echo "LV2 bundle OK: $uri"
