#!/usr/bin/env bash
# Runs a command under a file size limit with SIGXFSZ ignored, so that a write past the
# limit fails (WriteFile returns FALSE) instead of killing the writer. Every process the
# command starts inherits the limit, Kestrava.exe included. The command's own process
# cannot write a file past the limit either, so one is made here first.
# Usage: with-file-size-limit.sh LIMIT_KB COMMAND [ARG...]
set -euo pipefail
limit_kb=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/source"
head -c $(((limit_kb + 1024) * 1024)) /dev/urandom >"$dir/source/over-limit.bin"
printf 'small' >"$dir/source/a-small.txt"
export KESTRAVA_OVER_LIMIT_DIR=$dir/source
export KESTRAVA_FILE_LIMIT_KB=$limit_kb
(
  trap '' XFSZ
  ulimit -f "$limit_kb"
  "$@"
)
