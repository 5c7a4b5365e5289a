#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh
scripts/host-check.sh
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
