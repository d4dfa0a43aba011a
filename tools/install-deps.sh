#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the art tool need.
# Quick when everything is present: apt-get runs only for what is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libboost-dev
  liblua5.2-dev libluabind-dev
  libode-dev
  libsdl2-dev libx11-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  glslang-dev spirv-cross libspirv-cross-c-shared-dev
  libstb-dev
  libturbojpeg0-dev
  zlib1g-dev
  libassimp-dev
  libmeshoptimizer-dev
  libopenal-dev libsndfile1-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb openbox xdotool
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=()
if ((EUID != 0)); then
  sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
