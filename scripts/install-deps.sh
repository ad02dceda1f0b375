#!/usr/bin/env bash
# Installs the Debian 12 packages Darvelinto needs to build, run and test.
# Idempotent and quiet when everything is already present.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-declarative-dev qt6-declarative-dev-tools qt6-qpa-plugins
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtquick-dialogs
  qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript qml6-module-qttest
  libqt6sql6-sqlite libsqlite3-dev sqlite3 libsodium-dev libgl-dev libxkbcommon-dev
  fonts-noto-core fonts-noto-color-emoji fonts-materialdesignicons-webfont poppler-utils
  # The PostgreSQL runs of the tests: Qt's driver plugin and a server they start and stop themselves,
  # and the client library's headers for the benchmark's floor on a server. The program itself needs
  # none of them; it opens its SQLite file unless told otherwise.
  libqt6sql6-psql postgresql libpq-dev
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
