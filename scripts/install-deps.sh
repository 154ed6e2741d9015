#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Idempotent: only packages that are missing are installed, so a second run costs a second.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libsqlite3-dev libssl-dev openssl
    libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev
    clang libclang-rt-14-dev clang-format
    qt6-qpa-plugins fonts-dejavu-core
    xvfb xauth xdotool fp-utils curl
    desktop-file-utils appstream dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
