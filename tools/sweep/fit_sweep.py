#!/usr/bin/python3
"""fit_sweep.py RESULTS FOLDER CLI: fits every picture of FOLDER whose grid voltages read right in
RESULTS (sweep.py's lines) from the picture alone (`CLI fit --picture`), and measures how closely the
fitted model lies on the tube's true curves: its RMS distance across them from points along every
curve inside the box, against the least-squares optimum of the model over the same points (`CLI fit --points`, started
from the fitted design). Prints a line a picture and how many land within 1.3 times the optimum."""
import concurrent.futures as cf
import math
import os
import re
import subprocess
import sys
import tempfile

import numpy as np

# The tubes the sets are drawn from, by plate voltage and current full scale (A): the law's mu, g,
# gamma and knee, as in matplotlib_set.py and gnuplot_set.py.
TUBES = {(400, 0.005): (100, 3.0e-3, 1.4, 6), (500, 0.03): (20, 1.1e-3, 1.45, 2),
         (500, 0.25): (4.2, 1.3e-3, 1.5, 0.4), (300, 0.02): (60, 4e-3, 1.4, 4),
         (450, 0.025): (19, 1.4e-3, 1.45, 1.5), (400, 0.016): (35, 2.0e-3, 1.45, 3)}
LIMIT = 1.3


def true_ip(va, vg, mu, g, gamma, knee):
    return g * (math.log1p(math.exp(knee * (va / mu + vg))) / knee) ** gamma


def model_ip(vp, vg, p):
    s = math.sqrt(p['Kvb'] + vp * vp)
    a = p['Kp'] * (1 / p['Mu'] + vg / s)
    e1 = vp / p['Kp'] * (a + math.log1p(math.exp(-a)) if a > 30 else math.log1p(math.exp(a)))
    return 2 * e1 ** p['Ex'] / p['Kg1'] if e1 > 0 else 0.0


def parameters(path):
    text = open(path).read()
    return {k: float(re.search(r'^%s: (\S+)' % k, text, re.M).group(1)) for k in ('Mu', 'Ex', 'Kg1', 'Kp', 'Kvb')}


def points(vmax, imax, first, last, step, tube):
    """Points a hand would digitize: 50 a curve, inside the box, off the axis."""
    grids = [first - k * step for k in range(int(round((first - last) / step)) + 1)]
    out = []
    for vg in grids:
        for k in range(1, 51):
            va = vmax * k / 50
            ip = true_ip(va, vg, *tube)
            if 0.01 * imax <= ip <= imax:
                out.append((va, vg, ip))
    return out


def rms(design, pts, vmax, imax):
    """The RMS distance from the points to the model's curves, across them, in a square over the full
    scales (a thousand units a side, as the fit to points measures)."""
    p = parameters(design)
    total = 0.0
    for vg in sorted({vg for _, vg, _ in pts}):
        curve = np.array([(1000 * v / vmax, 1000 * model_ip(v, vg, p) / imax)
                          for v in np.linspace(0, vmax, 4001)])
        for va, g, ip in pts:
            if g == vg:
                total += (np.hypot(curve[:, 0] - 1000 * va / vmax, curve[:, 1] - 1000 * ip / imax) ** 2).min()
    return math.sqrt(total / len(pts))


def one(row, scratch):
    name, vmax, imax, first, last, step = row[0], *map(float, row[1:6])
    tube = TUBES[(int(vmax), round(imax, 3))]
    base = os.path.join(scratch, name)
    fitted = subprocess.run([cli, 'fit', '--picture', os.path.join(d, name), '--out', base + '.A.VXF'],
                            capture_output=True, text=True, timeout=300)
    if fitted.returncode != 0:
        return '%s\tnot fitted\t%s' % (name, fitted.stderr.strip().splitlines()[-1:])
    pts = points(vmax, imax, first, last, step, tube)
    with open(base + '.csv', 'w') as f:
        f.write('Vp,Vg,Ip (mA)\n' + ''.join('%g,%g,%g\n' % (va, vg, ip * 1000) for va, vg, ip in pts))
    subprocess.run([cli, 'fit', '--design', base + '.A.VXF', '--points', base + '.csv', '--out', base + '.B.VXF'],
                   capture_output=True, text=True, timeout=300, check=True)
    got, best = rms(base + '.A.VXF', pts, vmax, imax), rms(base + '.B.VXF', pts, vmax, imax)
    return '%s\t%.3f\t%.3f\t%.2f' % (name, got, best, got / best)


out, d, cli = sys.argv[1], sys.argv[2], sys.argv[3]
truth = {r[0]: r for r in (l.split('\t') for l in open(os.path.join(d, 'truth.tsv')).read().splitlines() if l)}
read = [l.split('\t')[0] for l in open(out).read().splitlines() if l.split('\t')[3:4] == ['ok']]
with tempfile.TemporaryDirectory() as scratch, cf.ThreadPoolExecutor(os.cpu_count()) as ex:
    lines = list(ex.map(lambda n: one(truth[n], scratch), read))
print('\n'.join(lines))
ratios = [float(l.split('\t')[3]) for l in lines if len(l.split('\t')) == 4]
print('%s: %d read, %d fitted, %d within %.1f x the optimum, worst %.2f' % (
    d, len(read), len(ratios), sum(r <= LIMIT for r in ratios), LIMIT, max(ratios, default=0)))
