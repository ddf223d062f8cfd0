#!/usr/bin/env bash
# Runs a command under a file size limit with SIGXFSZ ignored, so that a write past the
# limit fails (WriteFile returns FALSE) instead of killing the writer; every process the
# command starts inherits it. The command cannot write a file past the limit either, so
# one is made here first, in a folder passed by its Wine path.
# Usage: with-file-size-limit.sh LIMIT_KB COMMAND [ARG...]
set -euo pipefail
limit_kb=$1; shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/source"
head -c $(((limit_kb + 1024) * 1024)) /dev/urandom >"$dir/source/over-limit.bin"
printf 'small' >"$dir/source/a-small.txt"
export KESTRAVA_OVER_LIMIT_DIR="Z:${dir//\//\\}\\source" KESTRAVA_FILE_LIMIT_KB=$limit_kb
(trap '' XFSZ && ulimit -f "$limit_kb" && "$@")
