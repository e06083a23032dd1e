#!/usr/bin/env bash
# Makes the Italian locale (it_IT.UTF-8) the screen-reader test runs under,
# when it is missing. Quiet and quick when it is there.
set -euo pipefail
locale -a 2>/dev/null | grep -qix 'it_IT.utf8' && exit 0
as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
echo "Generating the it_IT.UTF-8 locale"
if ! grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    if grep -q '^# *it_IT.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        "${as_root[@]}" sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
        echo 'it_IT.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    fi
fi
"${as_root[@]}" locale-gen >/dev/null
