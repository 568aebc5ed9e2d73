#!/usr/bin/env bash
# Installs what the build, the tests and the program need (only what is missing),
# configures and builds Tarnwick, then starts the program or runs the tests.
#
#   scripts/setup.sh build      install + build (default)
#   scripts/setup.sh start      install + build + start tarnwick
#   scripts/setup.sh test       install + build + run every test
#   scripts/setup.sh sanitize   install + build the core with ASan/UBSan + run its tests
#   scripts/setup.sh bench [ARG...]  also install the tools the benchmarks compare with,
#                               build, and run bench/compare with ARGs
#
# Works as root or as a user with sudo, and may be run any number of times.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-build}
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools libgl-dev
  libpcre2-dev libssl-dev libsqlite3-dev libxxhash-dev libuchardet-dev liburing-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  fonts-wqy-microhei xvfb xauth x11-utils imagemagick
  dbus python3 python3-fusepy
  qt6-translations-l10n librsvg2-bin nlohmann-json3-dev
  desktop-file-utils appstream man-db bash-completion zsh fish dpkg-dev file lintian
)
# What bench/compare times and compares with; the build and the tests need none of it.
bench_packages=(hyperfine ripgrep fd-find jdupes rdfind fdupes linux-perf sysstat)
if [ "$mode" = bench ]; then packages+=("${bench_packages[@]}"); fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() { # build dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$jobs"
}

install_missing
case "$mode" in
  build)
    build "$here/build"
    ;;
  start)
    build "$here/build"
    exec "$here/build/app/tarnwick"
    ;;
  test)
    build "$here/build" -DTARNWICK_WERROR=ON
    cd "$here/build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
    # As root, the tests of unreadable and unwritable files skip: run them as nobody.
    bash "$here/scripts/unprivileged_tests.sh" "$here/build"
    ;;
  sanitize)
    build "$here/build-sanitize" -DTARNWICK_DESKTOP=OFF -DTARNWICK_BENCH=OFF -DTARNWICK_SANITIZE=ON -DTARNWICK_WERROR=ON
    cd "$here/build-sanitize"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      bash "$here/scripts/unprivileged_tests.sh" "$here/build-sanitize"
    ;;
  bench)
    build "$here/build"
    shift
    exec "$here/bench/compare" "$@"
    ;;
  *)
    echo "usage: $0 [build|start|test|sanitize|bench [ARG...]]" >&2
    exit 2
    ;;
esac
