#!/bin/bash
# The intro as a person meets it: the full-screen question, No opens a 640 x 480 window whose
# picture moves, the sound that reaches the device is the offline render of the same tune, and
# Escape ends the program.
source "$(dirname "$0")/../e2e/lib.sh"
# As a bare container starts it: no locale at all.
unset LANG LC_ALL LC_MESSAGES LC_CTYPE
: "${XMRENDER:?XMRENDER must name the offline renderer}"
: "${INTRO_TUNE:?INTRO_TUNE must name the module of the intro}"

e2e_start_xvfb 1280x1024
e2e_prepare_run_dir
e2e_start intro

e2e_wait_titled_window "Start Full Screen?"
e2e_screenshot question >/dev/null
e2e_pass "the full-screen question appears"
e2e_key Escape  # the No button

e2e_wait_titled_window "The Keeper of the Light - a tiny intro in 640 x 480"
e2e_expect_eq "$(e2e_window_size)" "640 480" "client size of the window"
e2e_expect_eq "$(e2e_window_position)" "0 0" "position of the window"
e2e_pass "No opens a 640 x 480 window at 0, 0"

sleep 2
first=$(e2e_screenshot scene1)
sleep 1.5
second=$(e2e_screenshot scene2)
changed=$(compare -metric AE "$first" "$second" /dev/null 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || e2e_fail "the scene does not move ($changed pixels changed)"
e2e_pass "frames are drawn ($changed pixels changed)"

sleep 2
e2e_key Escape
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 27 "exit status after Escape"
e2e_pass "Escape ends the intro"

"$XMRENDER" "$INTRO_TUNE" "$E2E_TMP/render.wav" 30 || e2e_fail "the offline render failed"
python3 - "$E2E_AUDIO" "$E2E_TMP/render.wav" <<'PY' || e2e_fail "the captured sound differs from the offline render"
import array, sys
captured, rendered = array.array('h'), array.array('h')
captured.frombytes(open(sys.argv[1], 'rb').read())
rendered.frombytes(open(sys.argv[2], 'rb').read()[44:])
# The device plays silence while it waits for the question to be answered.
start = next((i for i, v in enumerate(captured) if v), None)
first = next(i for i, v in enumerate(rendered) if v)
if start is None:
    sys.exit("no sound was captured")
# Once Escape has stopped the tune the device may play a block of silence before it closes.
end = len(captured)
while end > start and not captured[end - 1]:
    end -= 1
start -= (start - first) % 2  # stay on frame boundaries
start -= first
n = min(end - start, len(rendered))
if n < 44100 * 2:
    sys.exit("less than a second of sound was captured")
differences = [i for i in range(n) if captured[start + i] != rendered[i]]
differing = len(differences)
print("ok: %d captured samples, %d differ from the offline render" % (n, differing))
if differences:
    print("differences from sample %d to %d (%.3f s to %.3f s of %.3f s); the captured samples there: %d zero"
          % (differences[0], differences[-1], differences[0] / 88200.0, differences[-1] / 88200.0,
             n / 88200.0, sum(1 for i in differences if captured[start + i] == 0)))
sys.exit(1 if differing else 0)
PY
