#!/usr/bin/env bash
# Everything the test command needs from the system: the Debian packages and
# the Italian locale the screen-reader tests run under.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
scripts/ensure-locale.sh
