#!/usr/bin/env bash
# Checks the built VST3 module from the outside: the bundle layout hosts look
# for, and the entry points they call.
set -euo pipefail

module=$1

fail() { echo "FAIL: $*" >&2; exit 1; }

[[ $module == *"/Orvo Sampler.vst3/Contents/x86_64-linux/Orvo Sampler.so" ]] || fail "unexpected layout: $module"

symbols=$(nm -D --defined-only "$module")
for entry in GetPluginFactory ModuleEntry ModuleExit; do
    grep -qE " T $entry\$" <<<"$symbols" || fail "$entry is not exported"
done

echo "VST3 module OK: $module"
