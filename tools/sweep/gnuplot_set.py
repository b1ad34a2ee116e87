#!/usr/bin/python3
"""gnuplot_set.py FOLDER COUNT: plate-curve charts as gnuplot draws them (Debian's gnuplot-nox), drawn at
random from five tubes, seven legend places, gridded or not, four terminal looks (mono dashed, serif, small
print), three sizes and four label texts; with truth.tsv for sweep.py."""
import os, sys, random, subprocess, tempfile
import numpy as np
def ip_of(va, vg, mu, g, gamma, knee):
    return g * (np.log1p(np.exp(knee * (va / mu + vg))) / knee) ** gamma
TUBES = [((100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 5),
         ((20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30),
         ((4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250),
         ((60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20),
         ((35, 2.0e-3, 1.45, 3), list(range(0, -11, -1)), 400, 16)]
KEYS = ['', 'set key box opaque\n', 'set key left top\n', 'set key outside right\n', 'set key right bottom\n',
        'set key left top box\n', 'set key at graph 0.98, graph 0.6\n']
d = sys.argv[1]; os.makedirs(d, exist_ok=True)
rnd = random.Random(11)
rows = []
for i in range(int(sys.argv[2])):
    tube, grids, vmax, imax = rnd.choice(TUBES)
    key = rnd.choice(KEYS)
    grid = rnd.choice(['', 'set grid\n'])
    term = rnd.choice(['', '', 'mono dashed', 'font "Serif,11"', 'font "Sans,9"'])
    size = rnd.choice([(800, 600), (1000, 700), (1200, 800)])
    entry = rnd.choice(['%g V', 'Vg = %g V', 'Vg = %.1f V', 'Ug=%gV'])
    name = 'g%03d.png' % i
    va = np.linspace(0, vmax, 200)
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, 'c.dat')
        np.savetxt(data, np.array([va] + [ip_of(va, vg, *tube) * 1000 for vg in grids]).T)
        script = ('set terminal pngcairo size %d,%d %s\nset output "%s"\n' % (size + (term, os.path.join(d, name))) +
                  'set xrange [0:%g]\nset yrange [0:%g]\n' % (vmax, imax) +
                  'set xlabel "Plate voltage (V)"\nset ylabel "Plate current (mA)"\n' + key + grid +
                  'plot ' + ', '.join('"%s" using 1:%d with lines lw 1.5 title "%s"' % (data, k + 2, entry % vg)
                                      for k, vg in enumerate(grids)) + '\n')
        subprocess.run(['gnuplot'], input=script, capture_output=True, text=True, check=True)
    rows.append('%s\t%g\t%g\t%g\t%g\t%g\t%s|%s|%s' % (name, vmax, imax / 1000, grids[0], grids[-1], abs(grids[1] - grids[0]),
                                               key.strip(), term, entry))
open(os.path.join(d, 'truth.tsv'), 'w').write('\n'.join(rows) + '\n')
