#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and runs with.
# Runs apt-get only when something is missing, so a second run is quick.
# With --fuzz it also installs clang 14 and its runtime libraries, which only
# the fuzz programs (`make fuzz`) need.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config libtsan2
  zlib1g-dev libisal-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libwxgtk3.2-dev xvfb xauth xdotool imagemagick
  hershey-fonts-data apitrace
  desktop-file-utils shared-mime-info xdg-utils appstream libxml2-utils librsvg2-bin
  libglib2.0-bin help2man groff man-db bash-completion lintian fakeroot dpkg-dev file strace
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
