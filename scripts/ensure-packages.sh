#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing.
# "a|b" takes the first of a and b that apt offers (an installed one counts
# as present); "a?" is installed only where apt offers it. Quiet and quick
# when everything is already there.
set -euo pipefail

installed() {
    [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" == "install ok installed" ]]
}
# Whether apt knows a package with candidate versions; the output is read
# whole, so no pipe is cut short under pipefail.
offered() {
    local policy
    policy=$(apt-cache policy "$1" 2>/dev/null || true)
    [[ -n "$policy" && "$policy" != *"Candidate: (none)"* ]]
}

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    as_root=(sudo)
fi
updated=
update_once() {
    [[ -n "$updated" ]] && return
    if [[ ${#as_root[@]} -gt 0 ]] && ! command -v sudo >/dev/null; then
        echo "error: need root or sudo to install Debian packages" >&2
        exit 1
    fi
    "${as_root[@]}" apt-get update -qq
    updated=1
}

missing=()
for wanted in "$@"; do
    optional=
    [[ "$wanted" == *\? ]] && { optional=1; wanted=${wanted%\?}; }
    IFS='|' read -r -a choices <<<"$wanted"
    chosen=
    for pkg in "${choices[@]}"; do
        installed "$pkg" && { chosen=present; break; }
    done
    [[ -n "$chosen" ]] && continue
    for pkg in "${choices[@]}"; do
        if ! offered "$pkg"; then
            update_once
            offered "$pkg" || continue
        fi
        chosen=$pkg
        break
    done
    if [[ -n "$chosen" ]]; then
        missing+=("$chosen")
    elif [[ -z "$optional" ]]; then
        echo "error: apt offers none of: ${choices[*]}" >&2
        exit 1
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
update_once
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
