# The game's sound through SDL's disk driver, in a real window: after a word is found the
# output holds the "wordOk" effect, and the music is heard at volume 100 and silent at 0.
source "$(dirname "$0")/../e2e/lib.sh"
: "${AUDIO_PROBE:?AUDIO_PROBE must name the audio_probe program}"
export LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES=

data() { python3 "$E2E_SOURCE_ROOT/tests/playthrough/game_data.py" "$@"; }
probe() { "$AUDIO_PROBE" "$@"; }
# Places on the 1280 x 720 screens (window coordinates).
MENU_FIRST="165 439"; STORY_NEXT="640 669"

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
cd "$E2E_RUN" || e2e_fail "no run directory"
mapfile -t LEVEL1 < <(data level data/en.dat 0)
[ ${#LEVEL1[@]} -ge 2 ] || e2e_fail "level 1 has no words"

# Volume 100, the default of a language without stored progress: music from the start, then a
# new game (three story pages) and the first word of level 1 typed.
e2e_start game
e2e_wait_window
# The music thread decodes the first track after the window shows, later on a loaded machine:
# wait until the output carries music before any click, whose effect could pass for it.
music_from=""
for try in $(seq 120); do
    sleep 0.5
    read -r _ _ length < <(probe level "$E2E_AUDIO" 0 0)
    second_before=$(awk -v l="$length" 'BEGIN { print (l > 1 ? l - 1 : 0) }')
    read -r _ rms _ < <(probe level "$E2E_AUDIO" "$second_before" "$length")
    if [ "${rms%.*}" -ge 100 ]; then music_from=$second_before; break; fi
done
[ -n "$music_from" ] || e2e_fail "no music within 60 s of the window"
e2e_click $MENU_FIRST
for page in 1 2 3; do sleep 0.6; e2e_click $STORY_NEXT; done
sleep 1
mapfile -t keys < <(data keys data/en.dat "${LEVEL1[1]}")
e2e_key "${keys[@]}"
sleep 2
e2e_screenshot word_typed >/dev/null
e2e_close_window
e2e_wait_exit
cp "$E2E_AUDIO" "$E2E_TMP/loud.raw"
# Closing the window saves the level: it tells whether the game took the word at all.
level_file=save/$(printf '%s' "${LEVEL1[0]}" | od -An -tx1 | tr -d ' \n').sav
[ -f "$level_file" ] && data found "$level_file" | grep -qx "${LEVEL1[1]}" ||
    e2e_fail "the game did not take the typed word ${LEVEL1[1]}, so there is no effect to look for"

music_to=$(awk -v f="$music_from" 'BEGIN { print f + 1 }')
read -r peak rms seconds < <(probe level "$E2E_TMP/loud.raw" "$music_from" "$music_to")
echo "music at volume 100, $music_from s to $music_to s: peak $peak, rms $rms"
[ "${rms%.*}" -ge 100 ] || e2e_fail "no music at volume 100 (rms $rms)"
read -r at correlation < <(probe find "$E2E_TMP/loud.raw" wordOk "$music_to")
echo "wordOk best match at $at s, normalised correlation $correlation"
read -r _ otherCorrelation < <(probe find "$E2E_TMP/loud.raw" wordReject "$music_to")
echo "wordReject (never played) best correlation $otherCorrelation"
python3 -c "import sys; sys.exit(0 if $correlation >= 0.5 and $at >= $music_to and $otherCorrelation < $correlation - 0.2 else 1)" ||
    e2e_fail "the wordOk effect is not in the output after the word was typed"
e2e_pass "music at volume 100 and the wordOk effect after a found word"

# Volume 0 stored in the language's progress: nothing at all reaches the output.
mkdir -p save
head -c 40 /dev/zero >save/progress_en.dat
e2e_start game
e2e_wait_window
sleep 5
e2e_close_window
e2e_wait_exit
read -r peak rms seconds < <(probe level "$E2E_AUDIO" 0 60)
echo "music at volume 0: peak $peak, rms $rms over $seconds s"
python3 -c "import sys; sys.exit(0 if $seconds >= 3 else 1)" || e2e_fail "only $seconds s of output"
e2e_expect_eq "$peak" 0 "peak of the output at volume 0"
e2e_pass "no music at volume 0"

# No audio device at all: the game runs silent and ends normally.
SDL_AUDIODRIVER=no_such_driver e2e_start game
e2e_wait_window
sleep 2
e2e_click $MENU_FIRST
sleep 0.5
e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status without an audio device"
e2e_pass "silent without an audio device"
