#!/usr/bin/env bash
# Installs every Debian package Velloq needs to build, run and test.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang-format git ccache
  # libraries the product links
  qt6-base-dev qt6-svg-dev libgl-dev libsecret-1-dev libcurl4-openssl-dev nlohmann-json3-dev
  libboost-dev libboost-system-dev libssl-dev openssl libspng-dev zlib1g-dev
  libpulse-dev libx11-dev libxrandr-dev libxext-dev libxfixes-dev libxi-dev libcanberra-dev libxcb1-dev xclip
  libxrender-dev
  # screen recording: FFmpeg's encoders and mp4 muxer, the XCB screen stream
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  libxdamage-dev libxcb-shm0-dev libxcb-damage0-dev libxcb-xfixes0-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev scrot maim ffmpeg pngcheck
  # fuzzing (libFuzzer with clang)
  clang libclang-rt-14-dev
  # services the run and the tests start
  xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils
  openbox tint2 xdotool imagemagick dbus dbus-x11 gnome-keyring libsecret-tools
  pulseaudio pulseaudio-utils
  # video links played in a real browser, driven by a small Python script
  chromium python3
  # a clipboard manager that takes the clipboard over when an application quits
  xfce4-settings
  fonts-dejavu-core fonts-quicksand adwaita-icon-theme curl ca-certificates
  # packaging: Debian packages and the checks of what they install
  dpkg-dev file lintian desktop-file-utils appstream man-db groff-base hicolor-icon-theme zsh
  systemd
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${packages[@]}"
