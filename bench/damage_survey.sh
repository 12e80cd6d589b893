#!/usr/bin/env bash
# One-byte damage to the built reference data file: 4,500 copies, each with one byte changed
# at random, read by decoding alone, with the consistency checks, and through the reader with
# its checksum; how many load and how many of those answer the probe points differently
# (target for the reader: 0 that load and answer differently).
# Usage: bench/damage_survey.sh [BUILD_DIR] [COPIES] [SEED]
set -euo pipefail
build=${1:-build}
copies=${2:-4500}
seed=${3:-12}
survey="$build/bin/lantrel_damage_survey"
data="$build/bin/lantrel.bin"
[ -x "$survey" ] || { echo "$survey is missing: cmake --build $build --target lantrel_damage_survey" >&2; exit 1; }
[ -f "$data" ] || { echo "$data is missing: build the data file first" >&2; exit 1; }
"$survey" "$data" "$copies" "$seed"
