#!/usr/bin/env bash
# Judges one guest test case from the serial log of the boot that ran it.
#   check-case.sh <log file> <Suite.Case>
# 0 passed, 1 failed or never reported, 77 the kernel tests were skipped.
set -uo pipefail
log=$1
name=$2
if [ ! -f "$log" ]; then
  echo "no guest log at $log: the kernel.boot test did not run" >&2
  exit 1
fi
if grep -q '^KEYLOOM-SKIP' "$log"; then
  grep '^KEYLOOM-SKIP' "$log" | head -n1 | sed 's/^KEYLOOM-SKIP: /skipped: /'
  exit 77
fi
clean=$(tr -d '\r' <"$log")
if grep -qxF "KEYLOOM-CASE PASS $name" <<<"$clean"; then
  exit 0
fi
if grep -qxF "KEYLOOM-CASE FAIL $name" <<<"$clean"; then
  echo "$name failed in the guest:"
  awk -v n="$name" '$0 == "[ RUN      ] " n {on = 1} on {print} $0 == "KEYLOOM-CASE FAIL " n {exit}' <<<"$clean"
  exit 1
fi
echo "$name reported no result: the guest stopped before it finished. Last lines of the log:"
tail -n 30 <<<"$clean"
exit 1
