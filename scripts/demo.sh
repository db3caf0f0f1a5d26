#!/usr/bin/env bash
# Builds the demo installation under BUILD/demo and runs the register on it.
set -euo pipefail
build=${1:-build}
echo "The demo installation is not built yet; the programs are in $build/."
