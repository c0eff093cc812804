#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it with apt-get,
# runs the installed programs from their installed paths, checks the desktop
# files and that F1 finds the installed manuals, and removes the package.
# Needs root (or sudo) for apt-get; expects build/ from scripts/test.sh for
# the F1 test.
#   scripts/package-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

echo "== package build"
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DLMQ_TESTS=OFF -DLMQ_BENCH=OFF >/dev/null
cmake --build build-pkg -j"$jobs" >/dev/null
rm -f build-pkg/lumarq-pylon_*.deb
(cd build-pkg && cpack -G DEB >/dev/null)
deb=$(ls "$root"/build-pkg/lumarq-pylon_*.deb)
echo "-- $(basename "$deb")"
dpkg-deb -f "$deb" Depends

if command -v lintian >/dev/null; then
  echo "== lintian"
  report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges' || true)
  [ -n "$report" ] && echo "$report"
  if grep -q '^E:' <<<"$report"; then echo "lintian reports errors"; exit 1; fi
else
  echo "lintian not installed: package not linted"
fi

echo "== install"
cleanup() { DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq lumarq-pylon >/dev/null 2>&1 || true; }
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null

home=$(mktemp -d)
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=offscreen
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
for f in /usr/bin/LumarqPylon /usr/bin/pylon-emulator /usr/lib/*/liblmqt_lngs.so.1 \
         /usr/include/lmqt_lngs.h /usr/share/applications/com.lumarq.Pylon.desktop \
         /usr/share/metainfo/com.lumarq.Pylon.metainfo.xml /usr/share/mime/packages/com.lumarq.Pylon.xml \
         /usr/share/icons/hicolor/256x256/apps/com.lumarq.Pylon.png \
         "/usr/share/lumarq-pylon/Lumarq Pylon EN.pdf" /usr/share/man/man1/LumarqPylon.1.gz; do
  [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done
pkg-config --modversion lmqt_lngs
grep -q 'application/x-lumarq-pylon:\*\.lmqpyl' /usr/share/mime/globs2 || { echo "file type not registered"; exit 1; }

echo "== installed programs"
# --version where the program has its command line (without one, an option
# would only start the window).
if grep -q QCommandLineParser src/app/main.cpp; then
  LumarqPylon --version
else
  # Without options: the program must start and keep running until stopped.
  set +e; timeout 3 LumarqPylon >"$home/program.log" 2>&1; rc=$?; set -e
  [ $rc -eq 124 ] || { cat "$home/program.log"; echo "LumarqPylon ended with $rc"; exit 1; }
  echo "LumarqPylon started and ran until stopped"
fi
if grep -q -- '"--version"' emulator/main.cpp; then
  pylon-emulator --version
else
  set +e; timeout 2 pylon-emulator --tcp 0 >"$home/emulator.log" 2>&1; set -e
  grep -q 'listening on 127.0.0.1' "$home/emulator.log" || { cat "$home/emulator.log"; exit 1; }
  head -1 "$home/emulator.log"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/com.lumarq.Pylon.desktop && echo "desktop entry valid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net /usr/share/metainfo/com.lumarq.Pylon.metainfo.xml
fi
man -w LumarqPylon pylon-emulator

echo "== F1 finds the installed manuals"
LMQ_INSTALLED_PROGRAM_DIR=/usr/bin build/bin/ui_main_tests \
  --gtest_filter='Manual.AnInstalledProgramFindsTheManualsInItsShareFolder' | tail -3

echo "== remove"
trap - EXIT
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq lumarq-pylon >/dev/null
for f in /usr/bin/LumarqPylon /usr/share/lumarq-pylon /usr/share/applications/com.lumarq.Pylon.desktop; do
  [ ! -e "$f" ] || { echo "left after removal: $f"; exit 1; }
done
rm -rf "$home"
echo "package test passed"
