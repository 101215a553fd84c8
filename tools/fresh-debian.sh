#!/usr/bin/env bash
# Tries Bravel on a fresh Debian 12 (bookworm, minbase) made with debootstrap in a temporary
# folder, as root. Everything it made (the tree, its mounts) goes when it ends.
#
#   tools/fresh-debian.sh                   installs make and git, clones this repository into
#                                           root's home there (mode 0700) and runs `make test`
#   tools/fresh-debian.sh --package DEB     installs DEB with apt-get as a user would, then checks
#                                           `bravel --version`, a start on the offscreen platform
#                                           and a start through the desktop entry with `gio launch`
#
# debootstrap is installed first when it is missing. DEBIAN_MIRROR overrides the mirror, which is
# otherwise the first one this machine's apt sources name. FRESH_TREE_DIR is where the tree is
# made (default /var/tmp).
set -euo pipefail

usage() {
  echo "usage: $0 [--package bravel_VERSION_ARCH.deb]" >&2
  exit 2
}

mode=test
package=""
case "${1:-}" in
  "") ;;
  --package)
    [ $# -eq 2 ] && [ -f "$2" ] || usage
    mode=package
    package=$(realpath "$2")
    ;;
  *) usage ;;
esac
if [ "$(id -u)" -ne 0 ]; then
  echo "$0: debootstrap, chroot and mount want root" >&2
  exit 2
fi
repository=$(cd "$(dirname "$0")/.." && pwd)

if ! command -v debootstrap >/dev/null; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

host_mirror() {
  local uri
  uri=$(grep -hoE '^(URIs:|deb) +[^ ]+' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
        awk '{print $2}' | grep -v -- '-security' | grep -iE 'debian/?$' | head -n 1 || true)
  echo "${uri:-http://deb.debian.org/debian}"
}
mirror=${DEBIAN_MIRROR:-$(host_mirror)}

tree=$(mktemp -d "${FRESH_TREE_DIR:-/var/tmp}/bravel-fresh-XXXXXX")
# The tree's root is "/" in there, which every user must be able to enter (mktemp made it 0700).
chmod 0755 "$tree"
cleanup() {
  local status=$?
  # Processes the checks left in the tree would keep its mounts busy.
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    if [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$tree" ]; then kill -9 "$pid" 2>/dev/null || true; fi
  done
  # Ours, and those that debootstrap makes itself and leaves when it is stopped; deepest first.
  awk -v tree="$tree/" 'index($2, tree) == 1 { print $2 }' /proc/self/mounts | sort -r |
    while read -r point; do umount -l "$point" 2>/dev/null || true; done
  rm -rf --one-file-system "$tree" "$tree.debootstrap.log"
  exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

started=$(date +%s)
elapsed() { echo "$(($(date +%s) - started)) s"; }

echo "== debootstrap bookworm (minbase) into $tree from $mirror"
debootstrap --variant=minbase bookworm "$tree" "$mirror" >"$tree.debootstrap.log" 2>&1 ||
  { tail -n 30 "$tree.debootstrap.log"; exit 1; }
rm -f "$tree.debootstrap.log"
echo "== tree ready after $(elapsed)"

# As on a machine: /dev with its pseudo-terminals and shared memory, which are mounts of their own.
for folder in proc sys dev dev/pts dev/shm; do
  mount --bind "/$folder" "$tree/$folder"
done
cp /etc/resolv.conf "$tree/etc/resolv.conf"

# A clean environment as on a fresh machine: nothing of this shell's leaks in.
in_tree() {
  chroot "$tree" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive "$@"
}

in_tree apt-get update -q

run_tests() {
  in_tree apt-get install -y -q --no-install-recommends make git ca-certificates
  # Cloned into root's home, which only root can enter: the tests that run as another user
  # must not depend on reaching the build folder.
  git clone -q --no-hardlinks "$repository" "$tree/root/bravel"
  chmod 0700 "$tree/root"
  echo "== make test in the tree ($(git -C "$tree/root/bravel" log --oneline -1))"
  in_tree sh -c 'cd /root/bravel && make test'
  echo "== tests skipped in the tree, with their reasons:"
  awk '/^\[ RUN      \]/ { name = $4 } /: Skipped$/ { getline reason; print "  " name ": " reason }' \
    "$tree/root/bravel/build/Testing/Temporary/LastTest.log"
}

# Whether a process started by the desktop entry runs the program on this catalog.
started_with() {
  local catalog=$1 pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$tree" ] || continue
    if tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -qxF "$catalog"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# A version's numbers without leading zeros: "1.02.15" gives "1.2.15".
numbers() { awk -F. '{ for (i = 1; i <= NF; i++) printf "%s%d", (i > 1 ? "." : ""), $i }' <<<"$1"; }

check_package() {
  local name failures=0 version output pid
  name=$(basename "$package")
  version=$(dpkg-deb -f "$package" Version)
  cp "$package" "$tree/tmp/$name"
  # What every desktop has: GIO, and the tools whose triggers index desktop entries and file types.
  in_tree apt-get install -y -q --no-install-recommends libglib2.0-bin desktop-file-utils shared-mime-info
  echo "== apt-get install ./$name"
  in_tree sh -c "cd /tmp && apt-get install -y -q ./$name"

  # The program writes its minor number with two digits ("1.02.15" for package version 1.2.15).
  output=$(in_tree timeout 20 bravel --version 2>&1 || true)
  if [ "$(numbers "$(grep -oE '[0-9]+(\.[0-9]+)+' <<<"$output" | head -n 1)")" = "$(numbers "$version")" ]; then
    echo "ok: bravel --version: $output"
  else
    echo "FAILED: bravel --version did not print $version: $output"
    failures=$((failures + 1))
  fi

  # The program stays up on the offscreen platform until it is ended.
  if in_tree sh -c 'QT_QPA_PLATFORM=offscreen timeout 10 bravel >/tmp/start.log 2>&1'; then
    echo "FAILED: bravel ended by itself: $(cat "$tree/tmp/start.log")"
    failures=$((failures + 1))
  elif [ $? -eq 124 ]; then
    echo "ok: bravel ran on the offscreen platform until it was ended"
  else
    echo "FAILED: bravel did not start: $(cat "$tree/tmp/start.log")"
    failures=$((failures + 1))
  fi

  # The desktop entry as a file manager starts it, for a catalog.
  : >"$tree/tmp/Mein Katalog.bvk"
  # Into a file: the started program keeps what gio writes to, and a pipe would wait for its end.
  in_tree env QT_QPA_PLATFORM=offscreen gio launch /usr/share/applications/quillfen-bravel.desktop \
    "/tmp/Mein Katalog.bvk" >"$tree/tmp/launch.log" 2>&1 || true
  output=$(cat "$tree/tmp/launch.log")
  sleep 5
  if pid=$(started_with "/tmp/Mein Katalog.bvk"); then
    echo "ok: gio launch started: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
    kill "$pid"
  else
    echo "FAILED: gio launch did not start bravel with the catalog: $output"
    failures=$((failures + 1))
  fi
  output=$(in_tree env LC_ALL=C.UTF-8 gio mime application/x-bravel 2>&1 | head -n 1)
  if grep -qF "quillfen-bravel.desktop" <<<"$output"; then
    echo "ok: $output"
  else
    echo "FAILED: the desktop does not know the entry for catalogs: $output"
    failures=$((failures + 1))
  fi
  return $((failures > 0))
}

if [ "$mode" = test ]; then run_tests; else check_package; fi
echo "== $0 ${mode} passed after $(elapsed)"
