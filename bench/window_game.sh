# Sourced by the window benchmarks: the game they read and a display of their own.
# bench_game WORK SHIORI [GAME_DIR]: prints GAME_DIR, or makes a game of four long pages (twelve full lines each)
# in WORK, so that typing lasts long enough to measure.
bench_game() {
  if [ -n "${3:-}" ]; then
    echo "$3"
    return
  fi
  "$(dirname "$2")/shiori_fixture" --window --long "$1/game"
  echo "$1/game"
}

# A display number unlikely to be taken by another Xvfb on this machine.
bench_display() { echo ":$((150 + RANDOM % 100))"; }
