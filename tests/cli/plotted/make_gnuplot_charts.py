#!/usr/bin/python3
"""Plate-curve charts as gnuplot draws them (Debian's gnuplot-nox, pngcairo), for the reading
tests: legends set flush right before their line samples, in a box, over a grid, right of the
box, or drawn over curves, dashed or coloured. The curves follow the same smooth-knee Child law as make_charts.py.
Run from this folder; prints each plot box in picture pixels (left, right, top, bottom)."""
import os
import subprocess
import tempfile

import numpy as np


def plate_current(va, vg, mu, g, gamma, knee):
    drive = va / mu + vg
    return g * (np.log1p(np.exp(knee * drive)) / knee) ** gamma


def chart(name, tube, grids, vmax, imax, entry, settings, size=(1200, 800), terminal=''):
    va = np.linspace(0, vmax, 200)
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, 'curves.dat')
        np.savetxt(data, np.array([va] + [plate_current(va, vg, *tube) * 1000 for vg in grids]).T)
        script = ('set terminal pngcairo size %d,%d %s\nset output "%s"\n' % (size + (terminal, name)) +
                  'set xrange [0:%g]\nset yrange [0:%g]\n' % (vmax, imax) +
                  'set xlabel "Plate voltage (V)"\nset ylabel "Plate current (mA)"\n' + settings +
                  'plot ' + ', '.join('"%s" using 1:%d with lines lw 1.5 title "%s"' % (data, k + 2, entry % vg)
                                      for k, vg in enumerate(grids)) + '\n' +
                  'print GPVAL_TERM_XMIN, GPVAL_TERM_XMAX, GPVAL_TERM_YMIN, GPVAL_TERM_YMAX\n')
        box = subprocess.run(['gnuplot'], input=script, capture_output=True, text=True, check=True)
    left, right, bottom, top = (float(v) for v in box.stderr.split())
    print(name, round(left, 2), round(right, 2), round(size[1] - top, 2), round(size[1] - bottom, 2))


# A legend in a box, its entries flush right ("0 V" reads "OV" as often as not).
chart('gnuplot-key-boxed.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, '%g V',
      'set key box opaque\n')
chart('gnuplot-key-left-gridded.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250,
      'Vg = %.1f V', 'set key left top\nset grid\n')
# Dashed black curves, the legend drawn over them: a curve runs into its last entries.
chart('gnuplot-key-dashed.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 5,
      '%g V', '', terminal='mono dashed')
# The legend right of the box, a sample of each curve's line after its entry.
chart('gnuplot-key-outside.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'Vg = %.1f V',
      'set key outside right\n')
# Coloured curves cross the black entries of the legend at its default place, top right.
chart('gnuplot-key-crossed.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'Vg = %.1f V', '',
      size=(800, 600))
# Small print: "Vg = 0.0 V" reads "Vg=00V", every other entry with its point.
chart('gnuplot-key-zero-pointless.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 5,
      'Vg = %.1f V', '', size=(800, 600))
# Coloured curves run through the last two entries: their samples show that entries stand there, and
# with the curves taken out they read.
chart('gnuplot-key-crossed-last.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, '%g V',
      'set key at graph 0.98, graph 0.6\n')
# Curves cut the last two entries short of their samples, and the entries read without them would end at -8 V.
chart('gnuplot-key-cut-short.png', (35, 2.0e-3, 1.45, 3), list(range(0, -11, -1)), 400, 16, '%g V', '')
# Dashed black curves, the legend at the bottom right: its last entry runs into the curves' tails and
# goes with them when they are taken out.
chart('gnuplot-key-bottom-dashed.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'Vg = %g V',
      'set key right bottom\n', size=(1000, 700), terminal='mono dashed')
# Dashed and dotted black curves, the legend right of the box: its samples are dashed and dotted too.
chart('gnuplot-key-outside-dashed.png', (35, 2.0e-3, 1.45, 3), list(range(0, -11, -1)), 400, 16, 'Ug=%gV',
      'set key outside right\nset grid\n', size=(1000, 700), terminal='mono dashed')
# Black curves in the mono look, the legend right of the box: fitted from no start, the first fit settled
# with one printed curve on no computed one (5 of 6, 0.9 % of full scale off), and a second one from there
# gets out.
chart('gnuplot-key-outside-mono.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, '%g V',
      'set key outside right\n', size=(1000, 700), terminal='mono dashed')
# Dashed, dotted and dash-dotted black curves, the legend boxed at the top left: the dotted curves are traced
# only in part, and the fit from the best of the wide starts settled with its family squeezed (Mu 28 for 20, the
# -20 V curve on no printed one); the fits from the best three are compared.
chart('gnuplot-key-left-boxed-mono.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'Ug=%gV',
      'set key left top box\n', size=(1000, 700), terminal='mono dashed')
# Coloured curves run through most of the legend at the bottom right, cutting its black entries: read from
# the ink that is not coloured, where one entry still reads as nothing, mended by the others' even step.
chart('gnuplot-key-bottom-crossed.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'Vg = %.1f V',
      'set key right bottom\n', size=(800, 600))
# The same at the size of a big scan, read shrunk: the coloured pixels are shrunk alike.
chart('gnuplot-key-bottom-crossed-big.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'Ug=%gV',
      'set key right bottom\n', size=(1600, 1000), terminal='font "Sans,14"')
