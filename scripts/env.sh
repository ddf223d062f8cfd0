# Shared environment for the project's scripts (sourced, not run).
KESTRAVA_ROOT=${KESTRAVA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export KESTRAVA_BUILD=${KESTRAVA_BUILD:-$KESTRAVA_ROOT/build}
# One prefix for tests (null graphics driver) and one for the visible run (X11).
export KESTRAVA_TEST_PREFIX=${KESTRAVA_TEST_PREFIX:-$KESTRAVA_BUILD/wine-prefix}
export KESTRAVA_RUN_PREFIX=${KESTRAVA_RUN_PREFIX:-$KESTRAVA_BUILD/wine-prefix-x11}
export LANG=zh_CN.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
