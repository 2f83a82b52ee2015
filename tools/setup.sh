# Shared by tools/run and tools/test: installs the Debian packages the build needs and builds in build/.
# Sourced, not run.

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TESSALY_PACKAGES=(cmake make g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2)
# What only the test run needs besides: the install check validates desktop entries, the format check.
TESSALY_TEST_PACKAGES=(desktop-file-utils clang-format)
# What only bench/run needs besides: Pillow, whose counterparts it measures ours against.
TESSALY_BENCH_PACKAGES=(python3-pil)

# Installs the packages named, or without arguments those the build needs.
tessaly_install_packages() {
  local wanted=("$@") missing=()
  [ ${#wanted[@]} -eq 0 ] && wanted=("${TESSALY_PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local cmd="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    bash -c "$cmd" || return 1
  elif command -v sudo >/dev/null 2>&1; then
    echo "Installing with sudo: ${missing[*]}"
    sudo bash -c "$cmd" || return 1
  else
    echo "Missing packages: ${missing[*]}. Install them as root with:"
    echo "  $cmd"
    return 1
  fi
}

tessaly_build() {
  local dir=$1
  shift
  cmake -S "$TESSALY_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || return 1
  cmake --build "$dir" -j"$(nproc)" || return 1
}
