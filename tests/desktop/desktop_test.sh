#!/usr/bin/env bash
# The desktop files checked with the tools a desktop itself uses:
#   desktop_test.sh desktop  DATA WORK   desktop-file-validate, not a word
#   desktop_test.sh mime     DATA WORK   the MIME package against its schema,
#                            compiled by update-mime-database, then asked of
#                            by xdg-mime as a file manager's desktop asks
#   desktop_test.sh metainfo DATA WORK   appstreamcli validate
#   desktop_test.sh icons    DATA WORK   every PNG size, at its size
# DATA is the build's data folder; the scenes come from EXAMPLES.
set -euo pipefail
mode=$1 data=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"

case $mode in
desktop)
  out=$(desktop-file-validate "$data"/*.desktop 2>&1)
  [ -z "$out" ] || { echo "$out"; exit 1; }
  grep -q '^Exec=qmv-viewer %f$' "$data"/*.desktop
  ;;
mime)
  xmllint --noout --relaxng "$here/mime-info.rng" "$data/qmv.xml"
  mkdir -p "$work/home/mime/packages"
  cp "$data/qmv.xml" "$work/home/mime/packages/"
  # A database where the desktop looks: the user's own data folder.
  out=$(XDG_DATA_HOME="$work/home" update-mime-database "$work/home/mime" 2>&1)
  [ -z "$out" ] || { echo "$out"; exit 1; }
  raw=$(ls "$EXAMPLES"/*.qmv | head -n 1)
  cp "$raw" "$work/no-extension"
  cp "$(ls "$EXAMPLES"/*.qmvz | head -n 1)" "$work/scene.qmvz"
  printf 'header\n' >"$work/scene.qmvt"
  query() {
    env -i PATH=/usr/bin:/bin HOME="$work" XDG_DATA_HOME="$work/home" \
      XDG_DATA_DIRS=/usr/share XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$1"
  }
  expect() {
    local got
    got=$(query "$1")
    [ "$got" = "$2" ] || { echo "$1: $got, not $2"; exit 1; }
  }
  expect "$work/no-extension" application/x-qmv-scene   # by its first bytes
  expect "$raw" application/x-qmv-scene
  expect "$work/scene.qmvz" application/x-qmv-scene-compressed
  expect "$work/scene.qmvt" text/x-qmv-scene-text
  # The text form is text: what opens text opens it.
  grep -q 'text/plain' "$work/home/mime/text/x-qmv-scene-text.xml"
  ;;
metainfo)
  appstreamcli validate --no-net "$data"/*.metainfo.xml
  ;;
icons)
  for size in 16 32 48 64 128 256; do
    for png in "$data/icons/${size}x${size}"/*/*.png; do
      [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || { echo "$png is not ${size}x${size}"; exit 1; }
    done
    [ "$(ls "$data/icons/${size}x${size}"/*/*.png | wc -l)" = 2 ]
  done
  ;;
*)
  echo "desktop_test.sh: no mode $mode" >&2
  exit 2
  ;;
esac
