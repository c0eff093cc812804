#!/usr/bin/env bash
# Whole pylonctl processes, in one run: `pylonctl send` of a file to the
# emulator over loopback against `pylonctl --version` (start-up alone), and
# the wall time of `--version`. Run by hand after building both programs:
#   cmake --build build --target pylonctl pylon-emulator && bench/pylonctl-bench.sh [build] [runs]
# Prints the medians and the ratio; exits 1 when send takes more than twice
# --version or --version takes 20 ms or more.
set -euo pipefail
build=${1:-build}
runs=${2:-50}
ctl="$build/bin/pylonctl"
emu="$build/bin/pylon-emulator"
work=$(mktemp -d)
cleanup() {
  [ -n "${emu_pid:-}" ] && kill "$emu_pid" 2>/dev/null || true
  rm -rf "$work" ${shm:+"$shm"}
}
trap cleanup EXIT

"$emu" --tcp 0 >"$work/emu.out" 2>&1 &
emu_pid=$!
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on 127.0.0.1 port \([0-9]*\).*/\1/p' "$work/emu.out")
  [ -n "$port" ] && break
  sleep 0.02
done
[ -n "$port" ] || { echo "the emulator did not start" >&2; exit 2; }

# The history of these runs stays in a scratch folder, in memory when the
# machine has /dev/shm: the comparison is of the exchange with start-up,
# while each record's durable commit costs what the disk's flush costs
# (measured on its own below, not held to the limit).
shm=""
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  shm=$(mktemp -d /dev/shm/pylonctl-bench.XXXXXX)
  export XDG_DATA_HOME="$shm"
else
  export XDG_DATA_HOME="$work/data"
fi
file="$work/bench.lmqpyl"
"$ctl" set --new "$file" --line 1 --price 6.49 --line 2 --price 6.99 --zeros >/dev/null

# Median wall time of a command, microseconds.
median_us() {
  local times=() start end
  for _ in $(seq "$runs"); do
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1
    end=$EPOCHREALTIME
    times+=($(( (${end/./} - ${start/./}) )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

"$ctl" send "$file" "127.0.0.1:$port" -q || { echo "send failed" >&2; exit 2; }
version_us=$(median_us "$ctl" --version)
send_us=$(median_us "$ctl" send "$file" "127.0.0.1:$port" -q)
disk_us=$(XDG_DATA_HOME="$work/disk" median_us "$ctl" send "$file" "127.0.0.1:$port" -q)
ratio=$(awk -v s="$send_us" -v v="$version_us" 'BEGIN {printf "%.2f", s / v}')
printf 'pylonctl --version     %8.2f ms (median of %d)\n' "$(awk -v v="$version_us" 'BEGIN {print v/1000}')" "$runs"
printf 'pylonctl send (TCP)    %8.2f ms (median of %d)\n' "$(awk -v v="$send_us" 'BEGIN {print v/1000}')" "$runs"
printf 'send, history on disk  %8.2f ms (the record flushed to %s; not limited)\n' \
  "$(awk -v v="$disk_us" 'BEGIN {print v/1000}')" "$work"
printf 'send / --version       %8s   (limit 2.00)\n' "$ratio"
ok=0
awk -v r="$ratio" 'BEGIN {exit !(r <= 2.0)}' || { echo "send takes more than twice --version" >&2; ok=1; }
[ "$version_us" -lt 20000 ] || { echo "--version takes 20 ms or more" >&2; ok=1; }
exit $ok
