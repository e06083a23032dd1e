#!/usr/bin/env bash
# debian-root.sh RELEASE COMMAND...
#   Runs COMMAND in a clone of this repository inside a fresh Debian RELEASE
#   root, then removes the root.
# debian-root.sh --make RELEASE DIR
#   Only makes the root in the empty folder DIR, packages installed.
# debian-root.sh --run DIR COMMAND...
#   Runs COMMAND in the root --make made in DIR, then removes it.
# debian-root.sh --remove DIR
#   Removes the root in DIR, made in full or in part.
#
# The root is made with debootstrap from the Debian archive this machine's
# apt already uses, and the test packages are installed with the network;
# COMMAND then runs in a network namespace of its own, so the X servers,
# buses and speech servers it starts are kept apart from any other on the
# machine.
set -euo pipefail
cd "$(dirname "$0")/.."
as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)

remove_root() {
    local root=$1
    for mount in dev/shm dev/pts dev sys proc; do
        "${as_root[@]}" umount -l "$root/$mount" 2>/dev/null || true
    done
    "${as_root[@]}" rm -rf --one-file-system "$root" "$root.debootstrap.log"
}

in_root() {
    "${as_root[@]}" chroot "$1" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 bash -c "cd /root/cifrella && $2"
}

make_root() {
    local release=$1 root=$2 mirror
    scripts/ensure-packages.sh debootstrap git util-linux iproute2
    # The main Debian archive among apt's sources (deb822 and one-line forms).
    mirror=$( { cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:[[:space:]]*//p' | tr ' ' '\n' || true
                cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
                    | sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p'; } \
              | grep -E '^https?://' | grep -v -- '-security' | grep -E '/debian/?$' | head -n 1 || true)
    [[ -n "$mirror" ]] || { echo "error: no Debian archive among apt's sources" >&2; return 1; }

    echo "== a fresh Debian $release root from $mirror"
    "${as_root[@]}" debootstrap --variant=minbase --include=sudo,git,ca-certificates \
        "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 \
        || { tail -n 30 "$root.debootstrap.log" >&2; return 1; }
    rm -f "$root.debootstrap.log"
    "${as_root[@]}" chmod 755 "$root"
    "${as_root[@]}" mount -t proc proc "$root/proc"
    "${as_root[@]}" mount --rbind /sys "$root/sys"
    "${as_root[@]}" mount --bind /dev "$root/dev"
    "${as_root[@]}" mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
    "${as_root[@]}" mount -t tmpfs tmpfs "$root/dev/shm"
    "${as_root[@]}" cp /etc/resolv.conf "$root/etc/resolv.conf"
    # Services installed with the packages are not started inside the root.
    printf '#!/bin/sh\nexit 101\n' | "${as_root[@]}" tee "$root/usr/sbin/policy-rc.d" >/dev/null
    "${as_root[@]}" chmod 755 "$root/usr/sbin/policy-rc.d"

    "${as_root[@]}" git clone -q "$PWD" "$root/root/cifrella"
    in_root "$root" scripts/test-setup.sh
}

run_in_root() {
    local root=$1
    shift
    echo "== in the Debian root $root: $*"
    "${as_root[@]}" unshare --net bash -c 'ip link set lo up; exec "$@"' - \
        chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        bash -c 'cd /root/cifrella && exec "$@"' - "$@"
}

case $1 in
    --make)
        make_root "$2" "$3"
        ;;
    --remove)
        remove_root "$2"
        ;;
    --run)
        root=$2
        shift 2
        trap 'remove_root "$root"' EXIT
        run_in_root "$root" "$@"
        ;;
    *)
        release=$1
        shift
        root=$(mktemp -d "${TMPDIR:-/var/tmp}/cifrella-$release-XXXXXX")
        trap 'remove_root "$root"' EXIT
        make_root "$release" "$root"
        run_in_root "$root" "$@"
        ;;
esac
