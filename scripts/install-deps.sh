#!/usr/bin/env bash
# Installs, from Debian 12's packages, what Larkspurhollow needs to build and run;
# with --test also what its test suite drives (X server, session bus, notification service).
set -euo pipefail

build_and_run=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml-workerscript
  qml6-module-qtquick-shapes qml6-module-qttest
  qml6-module-qtqml qml6-module-qtqml-models
  libxcb1-dev libxcb-keysyms1-dev libx11-xcb-dev
  fonts-noto-color-emoji fonts-dejavu-core fonts-material-design-icons-iconfont
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  gstreamer1.0-pulseaudio libpulse0
  sound-theme-freedesktop dbus dbus-user-session xdg-utils librsvg2-bin
)
test_only=(
  xvfb x11-utils xdotool dbus-x11 python3-dbusmock python3-dbus python3-gi python3-pyatspi at-spi2-core trayer pulseaudio imagemagick sox openbox xterm faketime
  desktop-file-utils appstream man-db
)

packages=("${build_and_run[@]}")
if [[ "${1:-}" == "--test" ]]; then packages+=("${test_only[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  echo "All ${#packages[@]} packages are installed."
  exit 0
fi

as_root=()
if [[ $(id -u) -ne 0 ]]; then as_root=(sudo); fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
