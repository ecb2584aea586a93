# SPDX-FileCopyrightText: 2026 Tarvio developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the scripts: install what is missing from Debian's packages, then
# configure and build.
set -euo pipefail

# Qt and the X tools take Korean text in the locale's character set; a fresh
# system sets no locale at all, and window titles would come out garbled.
case "$(locale charmap 2>/dev/null)" in
  UTF-8) ;;
  *) unset LC_ALL LC_CTYPE; export LANG=C.UTF-8 ;;
esac

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The test build: optimised, without debug information, which the tests do
# not need and which is a fifth of the compiling and most of the linking.
TEST_BUILD_FLAGS="-O2 -DNDEBUG"

BUILD_PACKAGES=(build-essential cmake ninja-build qt6-base-dev qt6-serialport-dev libgl-dev
                qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
                fonts-nanum fonts-nanum-coding fonts-dejavu-core qt6-l10n-tools)
# What the built console needs at run time besides the libraries it links: Qt's
# platform plugins, Qt's Korean texts for its standard dialogs, the fonts. The
# package's Depends (cmake/Packaging.cmake) names them too; scripts/package-test checks that.
CONSOLE_PACKAGES=(qt6-qpa-plugins libqt6charts6 libqt6svg6 qt6-translations-l10n
                  fonts-nanum fonts-nanum-coding fonts-dejavu-core)
# The console on a virtual display.
RUN_PACKAGES=(xvfb xauth x11-utils "${CONSOLE_PACKAGES[@]}")
TEST_PACKAGES=(qt6-translations-l10n poppler-utils locales python3-pyvisa python3-pyvisa-py python3-serial ser2net)
# The libFuzzer targets (scripts/fuzz): clang and its sanitizer and fuzzer runtimes.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
# The coverage report (scripts/coverage).
COVERAGE_PACKAGES=(gcovr)
# cpack -G DEB (file, dpkg-shlibdeps) and the manual pages (help2man): scripts/package.
PACKAGE_PACKAGES=(file dpkg-dev help2man)
# The checks of the built package (scripts/package-test, .ci/run).
PACKAGE_CHECK_PACKAGES=(lintian reuse appstream desktop-file-utils)

# The Windows build (scripts/windows-build): the cross compiler Qt for Windows
# was built with, the host's Qt tools of the same version (moc, rcc: qt6-base-dev;
# lrelease: qt6-l10n-tools), Qt's .qm files, Wine to run the results, NSIS for
# the installer, and the Korean fonts put into Wine's prefix.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix cmake ninja-build qt6-base-dev qt6-l10n-tools
                  qt6-translations-l10n wine64 nsis fonts-nanum fonts-nanum-coding)
# Qt for Windows, read-only, beside the repository unless named otherwise.
QT_WIN_PREFIX=${QT_WIN_PREFIX:-$(cd "$TOP/.." && pwd)/shared/qt-win}
WINDOWS_BUILD="$TOP/build/windows"
WindowsBuildPossible() {
  [ -f "$QT_WIN_PREFIX/lib/cmake/Qt6/Qt6Config.cmake" ]
}

# Runs a command as root: directly when root already, else through sudo.
AsRoot() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  else
    command -v sudo >/dev/null || { echo "Need root or sudo to run: $*" >&2; exit 1; }
    sudo "$@"
  fi
}

# Installs the named packages that are not installed yet, with sudo when not root.
EnsurePackages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  AsRoot env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  AsRoot env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Generates a locale such as de_DE.UTF-8 unless the system has it already
# (glibc lists it as de_DE.utf8). Needs the locales package.
EnsureLocale() {
  local name=$1
  local listed="${name%%.*}.$(echo "${name#*.}" | tr 'A-Z' 'a-z' | tr -d -)"
  locale -a 2>/dev/null | grep -qx "$listed" && return 0
  echo "Generating locale: $name" >&2
  AsRoot localedef -i "${name%%.*}" -f "${name#*.}" "$name"
}

# Configures and builds into the folder given, with extra CMake arguments after it.
Build() {
  local dir=$1; shift
  cmake -S "$TOP" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
