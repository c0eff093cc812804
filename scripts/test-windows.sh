#!/usr/bin/env bash
# The Windows build: the core, its tests and pylonctl.exe cross-built with
# mingw-w64 into build-win, then run under wine in a prefix of their own
# (build-win/wine): the store against wine's registry (read back with
# "reg query"), the serial port against the Linux pylon emulator through a
# pseudo-terminal mapped to COM7, the link against the emulator on
# 127.0.0.1, and "pylonctl.exe send --verify" over the mapped port compared
# byte for byte with the same command of the Linux build. Uses the Linux build
# in build (LMQ_LINUX_BUILD) for the emulator and pylonctl. Prints how long
# each part took.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux=${LMQ_LINUX_BUILD:-build}
win=build-win
jobs=$(nproc)
t0=$(date +%s)
lap() { echo "-- $1: $(( $(date +%s) - t0 ))s since the start"; }

scripts/setup-windows-cross.sh
lap "packages"

cmake -S . -B "$win" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$win" -j"$jobs"
cmake -S . -B "$linux" >/dev/null
cmake --build "$linux" -j"$jobs" --target pylon-emulator pylonctl
lap "cross build"

if ! command -v wine >/dev/null; then
  echo "no wine on this machine: the Windows tests are not run"
  exit 0
fi
export WINEPREFIX=$root/$win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
emulators=()
cleanup() {
  for p in "${emulators[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
wineserver -k 2>/dev/null || true
lap "wine prefix"

# start_emulator NAME: an emulator on a pseudo-terminal and a free TCP port,
# recording what it receives in $work/NAME.bin; sets pty and tcp.
start_emulator() {
  "$linux/bin/pylon-emulator" --tcp 0 --pty --record "$work/$1.bin" >"$work/$1.log" 2>&1 &
  emulators+=($!)
  for _ in $(seq 100); do
    grep -q "pseudo-terminal" "$work/$1.log" 2>/dev/null && break
    sleep 0.05
  done
  pty=$(sed -n 's|^serial: pseudo-terminal \(/dev/pts/[0-9]*\) .*|\1|p' "$work/$1.log")
  tcp=$(sed -n 's|^TCP: listening on 127.0.0.1 port \([0-9]*\) .*|\1|p' "$work/$1.log")
  [ -n "$pty" ] && [ -n "$tcp" ] || { cat "$work/$1.log"; echo "the emulator did not start"; exit 1; }
}
stop_emulator() {  # index in emulators
  kill -TERM "${emulators[$1]}"
  wait "${emulators[$1]}" 2>/dev/null || true
}

start_emulator tests; tests_pty=$pty; tests_tcp=$tcp
start_emulator winsend; winsend_pty=$pty
start_emulator linuxsend; linuxsend_pty=$pty
# Wine maps COM ports to device files from HKLM\Software\Wine\Ports when it starts.
wine reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$tests_pty" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM8 /d "$winsend_pty" /f >/dev/null
wineserver -k; wineserver -w
# One server for all that follows, with wine's own services (the device
# manager that maps the ports among them) started here, so that neither holds
# the test runner's output open nor writes into it.
wineserver -p >"$work/wineserver.log" 2>&1
wine reg query 'HKLM\Software\Wine\Ports' >"$work/ports.txt" 2>&1

echo "== Windows tests under wine"
LMQ_PRIVATE_REGISTRY=1 LMQ_TEST_COM=COM7 LMQ_TEST_TCP_PORT=$tests_tcp \
  ctest --test-dir "$win" --output-on-failure

echo "== the session in wine's registry"
session=$(wine reg query 'HKCU\Software\Lumarq Technology\Pylon2\Session' /s | tr -d '\r')
echo "$session"
for want in 'Conf[[:space:]]+REG_BINARY[[:space:]]+645A501600010?1' \
            'ComSpeed[[:space:]]+REG_DWORD[[:space:]]+0x7' \
            'ComName[[:space:]]+REG_SZ[[:space:]]+COM7' \
            'NetSettings\\3$' \
            'Port[[:space:]]+REG_DWORD[[:space:]]+0x837'; do
  echo "$session" | grep -Eq "$want" || { echo "the registry lacks: $want"; exit 1; }
done
if echo "$session" | grep -Eq 'NetSettings\\4$'; then echo "a stale network entry was left"; exit 1; fi
# "reg query" prints in the console's code page; the export keeps the wide text.
wine reg export 'HKCU\Software\Lumarq Technology\Pylon2' "$(winepath -w "$work/store.reg")" /y >/dev/null
iconv -f UTF-16LE -t UTF-8 "$work/store.reg" | tr -d '\r' | grep -Fqx '"0.PriceName"="Łódź"' ||
  { echo "the line name is not the wide text Łódź"; exit 1; }

echo "== pylonctl.exe send --verify over COM8 puts the bytes of the Linux pylonctl on the line"
config="$work/station.lmqpyl"
"$linux/bin/pylonctl" set --new "$config" --line 1 --price 6.49 --name "Pb95" \
  --line 4 --price 3.09 --blink --name "LPG" --brightness 80,70,60 --gamma 2.2
wine "$win/bin/pylonctl.exe" --version | tr -d '\r' | grep -q "without the send history"
wine "$win/bin/pylonctl.exe" send --verify --font 5,1 "$(winepath -w "$config")" serial:COM8 2>&1 |
  tr -d '\r' >"$work/winsend.out" || { cat "$work/winsend.out"; echo "pylonctl.exe send failed"; exit 1; }
"$linux/bin/pylonctl" send --verify --font 5,1 "$config" "serial:${linuxsend_pty#/dev/}" \
  >"$work/linuxsend.out" 2>&1 || { cat "$work/linuxsend.out"; echo "pylonctl send failed"; exit 1; }
stop_emulator 1; stop_emulator 2
[ -s "$work/linuxsend.bin" ] || { echo "the Linux Send put nothing on the line"; exit 1; }
cmp "$work/winsend.bin" "$work/linuxsend.bin"
echo "$(stat -c %s "$work/winsend.bin") bytes, identical"
lap "Windows tests"
echo "Windows tests passed"
