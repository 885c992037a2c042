#!/usr/bin/env bash
# record.sh GAME MAKE_GFX OUT_DIR: plays the recorded games of this folder again on the real
# program, driven by xdotool, and writes their replays into OUT_DIR. Run it under
# tools/with-xvfb --wm; the games take about two minutes. The replays in this folder were made
# this way; ./test verifies each.
set -euo pipefail
game=$(realpath "$1")
make_gfx=$(realpath "$2")
out=$(cd "$3" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_gfx" "$work" >/dev/null
cd "$work"

hold() { xdotool keydown "$1"; sleep "${2:-0.15}"; xdotool keyup "$1"; }
window() { xdotool search --sync --onlyvisible --name "^$1\$" >/dev/null; }
start() {
  "$game" --record "$out/$1.replay" &
  pid=$!
  window 'Daromir Grumbol Game'
  hold Return
  window 'Daromirs Grumbol Game'
  xdotool type --delay 30 "$2"
  hold Return
  sleep 2
  x=0 y=0
}
finish() {
  window 'Game Over'
  hold Return
  wait "$pid"
}
# Where the one fish swims: what moved between two looks, below the score line; "X Y" of its
# middle, or nothing.
fish() {
  xwd -root -silent | convert xwd:- "$work/a.png"
  sleep 0.1
  xwd -root -silent | convert xwd:- "$work/b.png"
  convert "$work/a.png" "$work/b.png" -compose difference -composite -crop 1024x748+0+20 +repage \
    -threshold 0 -format '%@' info: | sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\1 \2 \3 \4/p' |
    awk '$1 > 0 && $1 < 150 && $3 > 20 && $3 < 600 { print int($3 + $1 / 2 + 40), int($4 + 20 + $2 / 2) }'
}
# Aims a little ahead of the fish and shoots.
shoot() {
  local at=""
  for ((tries = 0; tries < 60 && ${#at} == 0; tries++)); do at=$(fish); done
  [ -n "$at" ] || return 0
  read -r fx fy <<<"$at"
  xdotool mousemove_relative -- $((fx - x)) $((fy - y))
  x=$fx y=$fy
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.3
}

# Shots, every hot key, the title screen, a movie, both cheats past 2200 points, Escape.
start keys-and-cheats Quorvel
shoot
shoot
for key in 1 2 3 o p k l; do hold "$key" 0.3; done
hold 4
hold 5 0.3
hold 0 0.3
xdotool keydown f keydown z mousedown 3
sleep 0.3
xdotool keydown c keydown d
sleep 4.2
xdotool keyup c keyup d mouseup 3 keyup z keyup f
sleep 1
hold Escape
finish

# Nobody shoots: the eleventh fish through ends the game.
start eleven-through Ruhig
finish
