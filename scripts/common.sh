# Shared by scripts/run, scripts/test and scripts/bench: install what is
# missing from Debian's packages, then configure and build.
set -euo pipefail

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

BUILD_PACKAGES=(build-essential cmake ninja-build qt6-base-dev qt6-serialport-dev libgl-dev
                qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
                fonts-nanum fonts-nanum-coding fonts-dejavu-core)
RUN_PACKAGES=(xvfb xauth x11-utils libqt6charts6 libqt6svg6)
TEST_PACKAGES=(poppler-utils)

# Installs the named packages that are not installed yet, with sudo when not root.
EnsurePackages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Configures and builds into the folder given, with extra CMake arguments after it.
Build() {
  local dir=$1; shift
  cmake -S "$TOP" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
