#!/usr/bin/env bash
# Installs what is missing, builds Cifrella and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

scripts/host-build.sh cifrella

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<'MSG'
Cifrella is built (build/app/cifrella) but there is no graphical display to
show it on: neither DISPLAY nor WAYLAND_DISPLAY is set.
Run ./run.sh from a desktop session, over "ssh -X", or inside a virtual
display:  xvfb-run -a ./run.sh
MSG
    exit 1
fi
exec build/app/cifrella
