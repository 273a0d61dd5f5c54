#!/usr/bin/env bash
# Installs every Debian package Vorpex needs to build, test and run on a fresh Debian 12
# machine, then the npm packages, each pinned by its lock file: the Khronos glTF validator the
# export tests run (Tools/GltfValidator) and the studio page's three.js with the browser tests'
# playwright-core (Programs/VorpexStudio/web). Safe to run again: it only installs what is missing.
# Must run as root.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache git pkg-config
  # the fuzzers' compiler, libFuzzer, and the symbolizer that names the frames of their reports
  clang libclang-rt-14-dev llvm-14
  # libraries
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libstb-dev libcli11-dev libtinygltf-dev
  zlib1g-dev libvulkan-dev mesa-vulkan-drivers vulkan-validationlayers
  # the studio's HTTP server, and the browser its tests drive
  libcpp-httplib-dev chromium
  # the CPU peers of the image-processor and kd-tree benchmarks
  python3-numpy libnanoflann-dev
  # shader compiler: glslang's static libraries (HLSL front end) and SPIRV-Tools (optimizer, validator)
  glslang-dev spirv-tools
  # the npm packages' runtime
  nodejs
)

# The npm packages' installer. Debian packages npm apart from nodejs; a nodejs that ships its
# own npm conflicts with that package, so it is only asked for while the command is missing.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

repository="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# npm ci installs exactly the locked versions; it runs only while a folder lacks a package, so
# a second run neither reinstalls nor needs the registry.
install_npm_packages() {
  local folder="$repository/$1" marker="$2"
  if [ -f "$folder/node_modules/$marker/package.json" ]; then
    echo "setup: npm packages of $1 present"
    return
  fi
  echo "setup: installing the npm packages of $1"
  npm ci --prefix "$folder" --no-audit --no-fund
}

install_npm() {
  install_npm_packages Tools/GltfValidator gltf-validator
  install_npm_packages Programs/VorpexStudio/web playwright-core
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  install_npm
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_npm
