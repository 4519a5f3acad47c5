#!/usr/bin/env bash
# Runs a scenario on a virtual X server of its own, so that scenarios run
# side by side: each has its own keyboard focus, pointer and screen pixels.
#
# usage: own_display.sh SCENARIO.sh ARGS...
set -euo pipefail
source "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
bash "$@"
