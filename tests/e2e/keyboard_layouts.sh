# Players type on the keyboard layout of their language, switched with setxkbmap as a desktop
# would: each layout finds words of its language holding its own letters, dead keys and AltGr
# included; on a US layout the keyboard map still types Russian and Polish as it always did.
# The words come from the built language data at test time; a letter that no level holds is
# typed on a level of the test's own, added to a copy of that data.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LC_ALL= LC_MESSAGES= LC_CTYPE=C.UTF-8  # letters beyond ASCII for bash, xdotool and the game

words() { python3 "$HERE/layout_words.py" "$@"; }
data() { python3 "$HERE/../playthrough/game_data.py" "$@"; }

MENU_FIRST="165 439"  # the main menu's first button in a 1280 x 720 window
LATIN=abcdefghijklmnopqrstuvwxyz
CYRILLIC_RU=абвгдеёжзийклмнопрстуфхцчшщъыьэюя
CYRILLIC_UK=абвгґдеєжзиіїйклмнопрстуфхцчшщьюя

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
command -v setxkbmap >/dev/null || e2e_fail "setxkbmap is missing (x11-xkb-utils)"

# type_word WORD: each letter as its layout types it: acute vowels through the dead key,
# ą with AltGr, every other letter by the key that carries it.
type_word() {
    local word=$1 i letter
    for ((i = 0; i < ${#word}; i++)); do
        letter=${word:i:1}
        case $letter in
            á) xdotool key dead_acute a ;;
            é) xdotool key dead_acute e ;;
            í) xdotool key dead_acute i ;;
            ó) xdotool key dead_acute o ;;
            ú) xdotool key dead_acute u ;;
            ą) xdotool keydown ISO_Level3_Shift key a keyup ISO_Level3_Shift ;;
            *) xdotool type "$letter" ;;
        esac
        sleep 0.05
    done
}

# enter_game: clicks the main menu's first button and waits until the game's screen is drawn,
# so that no key typed next is handled on the menu. Only the picture right of the buttons is
# compared: the button under the mouse changes its look before the click is handled.
PICTURE_PART=400x300+800+100
enter_game() {
    e2e_wait_still $PICTURE_PART
    e2e_click $MENU_FIRST
    e2e_wait_change "$E2E_PICTURE" $PICTURE_PART
}

# type_keys WORD: the keys of a US keyboard that type WORD through the language's keyboard map.
DATA_FILE=""
type_keys() {
    local keys
    mapfile -t keys < <(data keys "$DATA_FILE" "$1")
    e2e_key "${keys[@]}"
}

# play LAYOUT LOCALE CODE TYPER LEVEL WORD...: a game of the language CODE, started under LOCALE
# with the keyboard on LAYOUT, continued on LEVEL; TYPER types each WORD there, and each must be
# among the level's found words when the window is closed.
play() {
    local layout=$1 locale=$2 code=$3 typer=$4 level=$5
    shift 5
    rm -rf "$E2E_RUN/save"
    mkdir -p "$E2E_RUN/save"
    words progress "$level" "$E2E_RUN/save/progress_$code.dat"
    setxkbmap -layout "$layout" || e2e_fail "setxkbmap -layout $layout failed"
    LANG=$locale e2e_start game
    e2e_wait_window
    e2e_wait_still $PICTURE_PART
    # Keys on the main menu type nothing: the word typed in the game below still matches.
    "$typer" "$1"
    enter_game
    local word
    for word in "$@"; do
        "$typer" "$word"
        sleep 0.3
    done
    e2e_close_window
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status ($layout)"
    local found
    found=$(cat "$E2E_RUN"/save/*.sav 2>/dev/null)
    for word in "$@"; do
        grep -qF "\"$word\"" <<<"$found" ||
            e2e_fail "$layout: '$word' was not found on level $((level + 1)) (found: $found)"
    done
    e2e_pass "$layout: $* typed and found on level $((level + 1)) of $code"
}

# layout_test [TYPER] LAYOUT LOCALE CODE LETTERS TYPABLE FALLBACK_ROW FALLBACK_WORD...: words
# with each of LETTERS typed on LAYOUT (by type_word unless TYPER), from the real levels where
# they hold the letter. PLAN_OPTIONS go to the plan.
PLAN_OPTIONS=()
layout_test() {
    local typer=type_word
    if declare -F "$1" >/dev/null; then typer=$1; shift; fi
    local layout=$1 locale=$2 code=$3 letters=$4 typable=$5
    shift 5
    local crafted=$E2E_TMP/crafted_$code.dat plan line
    plan=$(words plan "${PLAN_OPTIONS[@]}" "$E2E_RUN/data/$code.dat" "$letters" "$typable" "$crafted" "$@") ||
        e2e_fail "no words to type on $layout"
    if [ -e "$crafted" ]; then
        echo "$layout: a level of the test's own for the letters no level holds"
        rm "$E2E_RUN/data/$code.dat"
        cp "$crafted" "$E2E_RUN/data/$code.dat"
    fi
    while read -r line; do
        # shellcheck disable=SC2086  # the level and its words
        play "$layout" "$locale" "$code" "$typer" $line
    done <<<"$plan"
}

# Russian: the punctuation keys of the ЙЦУКЕН layout (ж, ё) and a word begun with Shift.
plan=$(words plan "$E2E_RUN/data/ru.dat" ёж "$CYRILLIC_RU" "$E2E_TMP/unused" ёж ёж) ||
    e2e_fail "no Russian words"
while read -r level first rest; do
    capitalised() { type_word "${1^}"; }
    play ru ru_RU.UTF-8 ru capitalised "$level" "$first" $rest
done <<<"$plan"

layout_test ua uk_UA.UTF-8 uk іїєґ "$CYRILLIC_UK" ґанокїжєтірис ґанок їжак єнот ірис
layout_test de de_DE.UTF-8 de üöäß "${LATIN}äöüß" süßölbär süß öl bär
layout_test fr fr_FR.UTF-8 fr éèàç "${LATIN}éèàçù" étépèreçàoù été père çà où
layout_test it it_IT.UTF-8 it èòàù "${LATIN}èòàù" perògiàùcaffè però già più caffè
layout_test es es_ES.UTF-8 es ñá "${LATIN}ñáéíóú" másaño más año
# Polish: AltGr+a types ą and nothing else. Pressed alone and taken back with Backspace before
# each word, on a row that also holds a, so an a typed with it would stay and spoil the word.
altgr_once() {
    xdotool keydown ISO_Level3_Shift key a keyup ISO_Level3_Shift
    e2e_key BackSpace
    type_word "$1"
}
PLAN_OPTIONS=(--row-holds aą)
layout_test altgr_once pl pl_PL.UTF-8 pl ą "${LATIN}ą" mąka mąka
PLAN_OPTIONS=()

# A US keyboard types Russian and Polish through each language's keyboard map, as before.
DATA_FILE=$E2E_RUN/data/ru.dat
mapfile -t RU < <(data level "$DATA_FILE" 0)
play us ru_RU.UTF-8 ru type_keys 0 "${RU[1]}"
DATA_FILE=$E2E_RUN/data/pl.dat
read -r level word _ < <(words plan "$DATA_FILE" ąćęłńóśźż "${LATIN}ąćęłńóśźż" "$E2E_TMP/unused" x x)
play us pl_PL.UTF-8 pl type_keys "$level" "$word"
