#!/usr/bin/env bash
# Installs the Debian packages the reader needs (only those missing), then
# configures and builds it into build/. Sourced by run.sh and test.sh; any
# arguments are passed on to CMake.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# qt6-translations-l10n: Qt's own dialogs and buttons in Chinese; desktop-file-utils
# and appstream: the install tree's tests validate the desktop entry and the
# metadata; dpkg-dev: cpack's dependency list (dpkg-shlibdeps); util-linux: setpriv,
# which runs the installed program as a user who cannot write the prefix; clang and
# its runtime: the sanitizer build and the fuzzers; xvfb, xauth, xdotool and
# x11-utils (xev: what changed on the screen): the end-to-end test that drives
# the real window across restarts; file: cpack's
# Debian package (dpkg-shlibdeps), which the test command builds and checks;
# libopencc-dev: 繁简转换, OpenCC's phrase tables (libopencc-data) and its library;
# libqt6sql6-sqlite: Qt SQL's SQLite driver, which keeps the library (书架) and bookmarks;
# qt6-speech-dev (and qt6-declarative-dev, whose QtQmlIntegration header it includes
# without depending on it): 朗读 through Qt TextToSpeech, with its speech-dispatcher
# plugin qt6-speech-speechd-plugin; speech-dispatcher and espeak-ng (Mandarin): the
# voice of the real read-aloud test, which hears it through pulseaudio's null sink
# recorded with parec (pulseaudio-utils); qtkeychain-qt6-dev: the sync password in
# the desktop's keyring; apache2-bin: the real WebDAV server (mod_dav) the sync tests
# start on 127.0.0.1 (the binary and its modules only: no web server is set up).
packages=(cmake ninja-build g++ pkg-config python3 qt6-base-dev libgl-dev libicu-dev libopencc-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-cjk clang-format clang-tidy
          qt6-translations-l10n desktop-file-utils appstream dpkg-dev util-linux
          clang libclang-rt-14-dev xvfb xauth xdotool x11-utils file
          libqt6sql6-sqlite qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin
          speech-dispatcher espeak-ng pulseaudio pulseaudio-utils qtkeychain-qt6-dev apache2-bin)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$here/build"
