# Runs a program inside a fresh Xvfb of the given screen size: with_xvfb.sh WxH PROGRAM [ARGS...]
source "$(dirname "$0")/../e2e/lib.sh"
e2e_start_xvfb "$1"
shift
"$@"
