#!/usr/bin/env bash
# Installs every Debian package Vorpex needs to build, test and run on a fresh Debian 12
# machine, then the Khronos glTF validator the AssetIO tests run (npm, pinned by
# Tools/GltfValidator/package-lock.json). Safe to run again: it only installs what is missing.
# Must run as root.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache git pkg-config
  # libraries
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libstb-dev libcli11-dev libtinygltf-dev
  zlib1g-dev libvulkan-dev mesa-vulkan-drivers vulkan-validationlayers
  # the CPU peers of the image-processor and kd-tree benchmarks
  python3-numpy libnanoflann-dev
  # shader compiler: glslang's static libraries (HLSL front end) and SPIRV-Tools (optimizer, validator)
  glslang-dev spirv-tools
  # the glTF validator's runtime
  nodejs
)

# The glTF validator's installer. Debian packages npm apart from nodejs; a nodejs that ships its
# own npm conflicts with that package, so it is only asked for while the command is missing.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

repository="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
validator="$repository/Tools/GltfValidator"

# npm ci installs exactly the locked versions; it runs only while the package is missing, so
# a second run neither reinstalls nor needs the registry.
install_validator() {
  if [ -f "$validator/node_modules/gltf-validator/package.json" ]; then
    echo "setup: glTF validator present"
    return
  fi
  echo "setup: installing the glTF validator"
  npm ci --prefix "$validator" --no-audit --no-fund
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  install_validator
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
install_validator
