#!/usr/bin/env bash
# check-fresh.sh DEB: installs DEB with apt-get into a fresh Debian 12 minbase root and
# checks that `quenzel` starts from the path and shows its window under Xvfb. Everything
# it makes (the root, its mounts, the X server) is gone when it ends, also on failure.
set -euo pipefail
deb=$(realpath "$1")
root=$(mktemp -d "${TMPDIR:-/tmp}/quenzel-fresh.XXXXXX")
cleanup() {
  for m in sys dev/pts dev proc; do mountpoint -q "$root/$m" && umount -l "$root/$m"; done
  rm -rf --one-file-system "$root" "$root.log"
}
trap cleanup EXIT

start=$SECONDS
if [ -n "${QUENZEL_FRESH_ROOT:-}" ]; then
  cp -a "$QUENZEL_FRESH_ROOT/." "$root/"
else
  echo "== debootstrap --variant=minbase bookworm"
  debootstrap --variant=minbase bookworm "$root" >"$root.log" 2>&1 || { cat "$root.log"; exit 1; }
fi
for m in proc dev dev/pts sys; do mount --bind "/$m" "$root/$m"; done
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }
# Runs a command, showing its output only when it fails.
quietly() {
  local out
  out=$("$@" 2>&1) || { echo "$out"; return 1; }
}

echo "== apt-get install ./$(basename "$deb")"
quietly in_root apt-get update
quietly in_root apt-get install -y "./tmp/$(basename "$deb")"
echo "== what the check needs to look: xvfb, xauth, x11-utils"
quietly in_root apt-get install -y --no-install-recommends xvfb xauth x11-utils

echo "== quenzel from the path, under Xvfb"
in_root sh -c 'command -v quenzel'
in_root quenzel --version
# The window counts as shown once the X server reports a viewable top-level "Quenzel".
in_root xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  quenzel & pid=$!
  for i in $(seq 1 30); do
    if xwininfo -name Quenzel 2>/dev/null | grep -q "IsViewable"; then
      xwininfo -name Quenzel | grep -E "Window id|Width|Height|Map State"
      kill $pid; wait $pid 2>/dev/null; exit 0
    fi
    sleep 1
  done
  kill $pid; echo "no Quenzel window after 30 s"; exit 1'
echo "== fresh install: window shown, $((SECONDS - start)) s"

# The desktop as a GNOME session asks it (xdg-mime through gio): the type the installed
# definition gives a drawing file is the one the desktop entry opens, and opens with it.
echo "== xdg-mime: the desktop entry and the MIME definition agree"
quietly in_root apt-get install -y --no-install-recommends xdg-utils libglib2.0-bin
in_root sh -c 'printf "# quenzel recording 1\n" | gzip >/tmp/drawing.quenzel'
xdg() { in_root env XDG_CURRENT_DESKTOP=GNOME xdg-mime "$@"; }
type=$(xdg query filetype /tmp/drawing.quenzel)
entry=$(in_root sh -c 'grep -l "^Exec=quenzel %f" /usr/share/applications/*.desktop')
grep -qx "MimeType=.*\b$type;.*" "$root$entry" || { echo "$entry does not open $type"; exit 1; }
opener=$(xdg query default "$type")
[ "$opener" = "$(basename "$entry")" ] || { echo "xdg-mime opens $type with '$opener'"; exit 1; }
echo "$type, opened by $opener"
