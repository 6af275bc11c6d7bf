#!/usr/bin/env bash
# The install as a packager and a desktop meet it:
#   install_test.sh files      BUILD SOURCE WORK  the tree matches the list
#   install_test.sh thumbnail  BUILD SOURCE WORK  the installed thumbnailer's
#                              Exec line, run as a file manager runs it
#   install_test.sh consumer   BUILD SOURCE WORK  a project builds against the
#                              installed package, by CMake and by pkg-config
#   install_test.sh package    BUILD SOURCE WORK  the Debian packages: their
#                              metadata, contents and lintian's verdict
# Each installs the build into WORK/root with DESTDIR and prefix /usr.
set -euo pipefail
mode=$1 build=$2 source=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log"
usr=$root/usr

case $mode in
files)
  # The docs folder holds whatever docs/ holds; everything else is listed.
  (cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' |
     grep -vE '^usr/share/doc/qmv-viewer/(.*/|[a-z-]+\.md$)' | sort) >"$work/files.txt"
  [ -f "$usr/share/doc/qmv-viewer/renderer.md" ] || { echo "the docs are not installed"; exit 1; }
  diff -u "$source/tests/install/installed-files.txt" "$work/files.txt"
  # Installed programs open nothing in the build or source tree: each tool
  # run on a scene, its opens traced.
  # (The scene lies outside both trees, the tools run from there.)
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  cp "$build/examples/tour.qmvz" "$scratch/tour.qmvz"
  cd "$scratch"
  for run in "qmv-render tour.qmvz -o tour.png" "qmv-dump tour.qmvz" \
             "qmv-dis tour.qmvz -o tour.qmvt" "qmv-as tour.qmvt -o again.qmvz"; do
    # shellcheck disable=SC2086
    strace -f -qq -e trace=open,openat,stat,newfstatat,access -o "$work/trace.txt" "$usr"/bin/$run >/dev/null
    if grep -F -e "\"$build" -e "\"$source/" "$work/trace.txt"; then
      echo "${run%% *} opens files of the build or source tree"
      exit 1
    fi
  done
  ;;
thumbnail)
  entry=$usr/share/thumbnailers/qmv.thumbnailer
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  try_exec=$(sed -n 's/^TryExec=//p' "$entry")
  [ -x "$usr/bin/$try_exec" ] || { echo "TryExec $try_exec is not installed"; exit 1; }
  # The file manager fills in the size, the input and the output, finds the
  # program on its PATH and gives it an environment of its own: here none.
  run() {
    local line=${exec_line//%s/$1}
    line=${line//%i/$2}
    line=${line//%o/$3}
    local -a argv
    read -r -a argv <<<"$line"
    argv[0]=$usr/bin/${argv[0]}
    env -i "${argv[@]}"
  }
  scene=$build/examples/tour.qmvz
  run 256 "$scene" "$work/tour.png"
  identify -format '%w %h\n' "$work/tour.png" >"$work/size.txt"
  read -r width height <"$work/size.txt"
  # The tour is 4:3: the thumbnail is as wide as asked and keeps that shape.
  [ "$width" = 256 ] && [ "$height" = 192 ] || { echo "tour thumbnail is ${width}x${height}"; exit 1; }
  # A damaged file and a hostile one: exit 1 and no file.
  head -c 300 "$scene" >"$work/cut.qmvz"
  printf 'QMV\x98\xe1\xff\xff\xff\xff\xff\xff\xff\xff' >"$work/hostile.qmv"
  for bad in cut.qmvz hostile.qmv; do
    status=0
    run 128 "$work/$bad" "$work/$bad.png" 2>"$work/$bad.err" || status=$?
    [ $status -eq 1 ] || { echo "$bad: exit $status"; exit 1; }
    [ ! -e "$work/$bad.png" ] || { echo "$bad: a thumbnail was written"; exit 1; }
  done
  ;;
consumer)
  cmake -S "$source/tests/install/consumer" -B "$work/consumer" -G Ninja \
    -DCMAKE_PREFIX_PATH="$usr" >"$work/consumer.log"
  cmake --build "$work/consumer" >>"$work/consumer.log"
  "$work/consumer/consumer" "$work/cmake.qmv"
  pc_dir=$(dirname "$(find "$usr" -name qmv.pc)")
  flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs qmv)
  # shellcheck disable=SC2086
  c++ -std=c++20 "$source/tests/install/consumer/consumer.cpp" -o "$work/pc-consumer" $flags
  "$work/pc-consumer" "$work/pkgconfig.qmv"
  ;;
package)
  (cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log")
  viewer=$(ls "$work"/deb/qmv-viewer_*_*.deb)
  dev=$(ls "$work"/deb/libqmv-dev_*_*.deb)
  field() { dpkg-deb --field "$1" "$2"; }
  # The libraries the programs link, found by dpkg-shlibdeps, not listed by
  # hand: the C++ runtime, wxWidgets, GL and EGL, libpng and zlib.
  depends=$(field "$viewer" Depends)
  for library in libc6 libstdc++6 libwxgtk3.2 libwxgtk-gl3.2 libegl1 libpng16-16 zlib1g; do
    grep -q "$library" <<<"$depends" || { echo "Depends lacks $library: $depends"; exit 1; }
  done
  grep -q shared-mime-info <<<"$(field "$viewer" Recommends)"
  [ "$(field "$dev" Depends)" != "" ]
  # Each package holds what its part of the install holds.
  dpkg-deb --contents "$viewer" | awk '{print $6}' >"$work/viewer-files.txt"
  dpkg-deb --contents "$dev" | awk '{print $6}' >"$work/dev-files.txt"
  for path in ./usr/bin/qmv-viewer ./usr/bin/qmv-render ./usr/share/mime/packages/ \
              ./usr/share/applications/ ./usr/share/thumbnailers/ ./usr/share/metainfo/ \
              ./usr/share/man/man1/qmv-render.1.gz ./usr/share/doc/qmv-viewer/copyright; do
    grep -q "^${path}" "$work/viewer-files.txt" || { echo "qmv-viewer lacks $path"; exit 1; }
  done
  grep -q '^./usr/include/qmv/reader.h' "$work/dev-files.txt"
  ! grep -q '^./usr/include/' "$work/viewer-files.txt"
  # Debian's own checks, errors and warnings alike.
  lintian --fail-on error,warning "$viewer" "$dev"
  ;;
*)
  echo "install_test.sh: no mode $mode" >&2
  exit 2
  ;;
esac
