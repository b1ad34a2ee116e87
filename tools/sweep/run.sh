#!/bin/sh
# Reading and fitting sweeps: tools/sweep/run.sh FOLDER [TAG]
#
# Draws three sets of charts into FOLDER the first time (the corpus at twelve sizes, 100
# Matplotlib plots, 60 gnuplot plots; python3-matplotlib and gnuplot-nox wanted), reads every
# picture with the build's valvix-cli, and prints, a set a line, how many plate voltage full
# scales, plate current full scales and grid voltage families read right and wrong. Each
# picture's grades go to FOLDER/SET-TAG.txt, to compare two builds line by line. Then the
# plots that read whole are fitted (fit_sweep.py), each fit to FOLDER/SET-TAG-fit.txt.
set -eu
here="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:?usage: tools/sweep/run.sh FOLDER [TAG]}"
tag="${2:-now}"
build="${BUILD_DIR:-$here/build}"
cmake --build "$build" --target valvix-cli write_corpus >/dev/null
draw() {
  mkdir -p "$out/$1"
  case "$1" in
    corpus) QT_QPA_PLATFORM=offscreen "$build/tests/support/write_corpus" "$out/corpus" ;;
    matplotlib) /usr/bin/python3 "$here/tools/sweep/matplotlib_set.py" "$out/matplotlib" 100 ;;
    gnuplot) /usr/bin/python3 "$here/tools/sweep/gnuplot_set.py" "$out/gnuplot" 60 ;;
  esac
}
for set in corpus matplotlib gnuplot; do
  [ -f "$out/$set/truth.tsv" ] || draw "$set"
  python3 "$here/tools/sweep/sweep.py" "$out/$set-$tag.txt" "$out/$set" "$build/cli/valvix-cli"
done
# The plots whose grid voltages read right are fitted from the picture alone, and the fits
# measured against the tubes' true curves.
for set in matplotlib gnuplot; do
  /usr/bin/python3 "$here/tools/sweep/fit_sweep.py" "$out/$set-$tag.txt" "$out/$set" "$build/cli/valvix-cli" \
    >"$out/$set-$tag-fit.txt"
  tail -n 1 "$out/$set-$tag-fit.txt"
done
