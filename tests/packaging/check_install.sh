#!/usr/bin/env bash
# check_install.sh BUILD VERSION APP_ID: installs the build into a temporary prefix and
# packs it, then checks what a Debian desktop sees: every file in its place and nothing
# else, icons of their folder's size and only the source picture's colours (no blur), a
# valid desktop entry and metainfo, a drawing file's type that the desktop's database, the
# desktop entry and xdg-mime agree on, a manual page that renders without warnings, a package
# without lintian errors whose own quenzel answers --version and --help with no display
# and, started plainly there, says how to try it without one.
set -euo pipefail
build=$1 version=$2 id=$3
work=$(mktemp -d "$build/check-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
# lintian and cpack leave temporary files behind: they go to the work folder too.
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/usr" >/dev/null
sizes="16 24 32 48 64 128 256"
expected=$(
  printf '%s\n' usr/bin/quenzel "usr/share/applications/$id.desktop" \
    "usr/share/metainfo/$id.metainfo.xml" "usr/share/mime/packages/$id.xml" \
    usr/share/man/man1/quenzel.1.gz \
    usr/share/doc/quenzel/copyright usr/share/doc/quenzel/changelog.gz
  for s in $sizes; do echo "usr/share/icons/hicolor/${s}x$s/apps/$id.png"; done
)
installed=$(cd "$work" && find usr -type f)
[ "$(sort <<<"$installed")" = "$(sort <<<"$expected")" ] ||
  fail "installed files differ: $(diff <(sort <<<"$expected") <(sort <<<"$installed") || true)"

for s in $sizes; do
  # The 16-pixel picture has five colours and a transparent ground.
  read -r geometry colours < <(identify -format '%wx%h %k\n' "$work/usr/share/icons/hicolor/${s}x$s/apps/$id.png")
  [ "$geometry" = "${s}x$s" ] || fail "icon in ${s}x$s is $geometry"
  [ "$colours" -le 6 ] || fail "icon in ${s}x$s has $colours colours: blurred"
done

report=$(desktop-file-validate "$work/usr/share/applications/$id.desktop") || fail "desktop entry: $report"
report=$(appstreamcli validate --no-net "$work/usr/share/metainfo/$id.metainfo.xml") || fail "metainfo: $report"

# The type's definition builds a database without a word of complaint; with it and the entry
# in a data folder of their own, xdg-mime (through gio, as on a GNOME desktop) names a drawing
# file by it, and the entry as the program that opens it.
type=application/x-quenzel-drawing
data=$work/data
mkdir -p "$data/mime/packages" "$data/applications"
cp "$work/usr/share/mime/packages/$id.xml" "$data/mime/packages/"
cp "$work/usr/share/applications/$id.desktop" "$data/applications/"
report=$(XDG_DATA_DIRS=$data update-mime-database "$data/mime" 2>&1) && [ -z "$report" ] ||
  fail "MIME definition: $report"
update-desktop-database "$data/applications"
grep -qx "MimeType=.*\b$type;.*" "$work/usr/share/applications/$id.desktop" ||
  fail "the desktop entry does not name $type"
printf '# quenzel recording 1\n' | gzip >"$work/drawing.quenzel"
xdg() { env XDG_DATA_DIRS="$data:/usr/share" XDG_CURRENT_DESKTOP=GNOME xdg-mime "$@"; }
answer=$(xdg query filetype "$work/drawing.quenzel")
[ "$answer" = "$type" ] || fail "xdg-mime names a drawing file $answer"
answer=$(xdg query default "$type")
[ "$answer" = "$id.desktop" ] || fail "xdg-mime opens a drawing file with: $answer"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/usr/share/man/man1/quenzel.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page: $warnings"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
deb="$work/package/quenzel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
report=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian: $report"

dpkg-deb -x "$deb" "$work/unpacked"
packaged() { env -i PATH=/usr/bin:/bin "$work/unpacked/usr/bin/quenzel" "$@"; }
# An option the program does not know is ignored, as every other argument.
answer=$(packaged --no-such-option --version) || fail "quenzel --version exits $?"
[ "$answer" = "quenzel $version" ] || fail "quenzel --version says: $answer"
answer=$(packaged --help) || fail "quenzel --help exits $?"
grep -q -e '--version' <<<"$answer" || fail "quenzel --help says: $answer"
# Installed, it names itself as the command to try without a desktop, not the source tree's.
answer=$(packaged 2>&1) && fail "quenzel without a display exits 0"
[[ $answer == *"xvfb-run -a quenzel" ]] || fail "quenzel without a display says: $answer"
echo "installed tree, icons, desktop entry, metainfo, file type, manual page and package: all good"
