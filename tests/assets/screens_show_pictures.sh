#!/bin/bash
# The real game shows the main menu's pictures from the archives where the placements put them:
# day pictures in a light theme, night pictures in a dark one, and a loose file in
# data/images/ wins over the archive member of the same name.
source "$(dirname "$0")/../e2e/lib.sh"

# Writes the English progress record: level 0, one level open, story stage 1, theme $1, volume 100.
write_progress() {
    mkdir -p "$E2E_RUN/save"
    python3 -c "import struct, sys; sys.stdout.buffer.write(struct.pack('<10i', 0, 1, 1, 0, 0, 0, 0, 0, $1, 100))" \
        >"$E2E_RUN/save/progress_en.dat"
}

# Prints "R G B" (0..255) of the screenshot's pixel at window coordinates X Y.
pixel() {
    local shot=$1 origin at
    origin=($(e2e_window_position))
    at="p{$(($2 + origin[0])),$(($3 + origin[1]))}"
    convert "$shot" -format "%[fx:int(255*$at.r)] %[fx:int(255*$at.g)] %[fx:int(255*$at.b)]" info:
}

# Fails unless the pixel satisfies the arithmetic condition on r, g and b.
expect_pixel() {
    local shot=$1 x=$2 y=$3 condition=$4 what=$5 r g b
    read -r r g b < <(pixel "$shot" "$x" "$y")
    (( $condition )) || e2e_fail "$what: pixel ($x, $y) is $r $g $b"
}

# Starts the game and leaves the path of a screenshot of its main menu in $shot. The English
# player's language is chosen at start-up, so the main menu is the first screen drawn; until that
# frame the window is black, and a loaded machine may take a while to draw it.
show_main_menu() {
    local deadline=$((SECONDS + 30)) r g b
    e2e_start game
    e2e_wait_window
    while :; do
        sleep 0.5
        shot=$(e2e_screenshot "$1")
        read -r r g b < <(pixel "$shot" 640 40)
        [ $((r + g + b)) -gt 0 ] && return 0
        [ $SECONDS -lt $deadline ] || e2e_fail "nothing drawn within 30 s"
    done
}

close_game() {
    e2e_close_window
    e2e_wait_exit
}

e2e_start_xvfb 1280x720
e2e_prepare_run_dir

write_progress 0
show_main_menu menu_day
expect_pixel "$shot" 640 40 "b > 200 && b > r" "day sky"
expect_pixel "$shot" 640 560 "b > r + 60" "day sea"
expect_pixel "$shot" 1030 160 "r > 200 && g > 170 && b < r - 40" "lit lamp of the lighthouse at the right edge"
close_game

write_progress 1
show_main_menu menu_night
expect_pixel "$shot" 640 40 "r < 60 && g < 60 && b < 80" "night sky"
expect_pixel "$shot" 1030 160 "r > 200 && g > 180" "lamp at night"
close_game

mkdir -p "$E2E_RUN/data/images"
convert -size 1280x800 xc:'#ff0000' "$E2E_RUN/data/images/backdrop.png"
write_progress 0
show_main_menu menu_loose_file
expect_pixel "$shot" 640 40 "r > 240 && g < 20 && b < 20" "loose backdrop.png instead of the archive's"
close_game

e2e_pass "the main menu shows its day, night and loose-file pictures"
