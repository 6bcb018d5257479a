#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Levora needs.
# Idempotent: packages already present are left alone. Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libxcb1-dev libxcb-shm0-dev libxcb-damage0-dev libxcb-shape0-dev
  libqt6svg6 qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev clang-format-14
  fonts-liberation2
  xvfb xauth xdotool x11-utils x11-xserver-utils imagemagick openbox
  weston qt6-wayland libwayland-dev qt6-base-private-dev
  dbus dbus-x11
  librsvg2-bin
  desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db groff-base
  debhelper dpkg-dev lintian
  libjack-jackd2-dev jackd2
  libpipewire-0.3-dev pipewire pipewire-bin wireplumber
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: done"
