#!/usr/bin/env bash
# The sample job: converts one point and prints it (replaced by the command-line tool's run).
set -euo pipefail
build=${1:-build}
"$build/bin/lantrel_example"
