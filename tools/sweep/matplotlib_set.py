#!/usr/bin/python3
"""matplotlib_set.py FOLDER [COUNT]: plate-curve charts in Matplotlib's looks (Debian's python3-matplotlib),
drawn at random from six tubes by another law than Valvix fits, seven looks, four sizes, legends in and
right of the box, labels at the curves' ends, along them and over the top edge, dashed or solid curves, black
or coloured, five label texts; with truth.tsv for sweep.py. The same seed draws the same set."""
import sys, os, random
import matplotlib
matplotlib.use('Agg')
import matplotlib.pyplot as plt
import numpy as np

def ip_of(va, vg, mu, g, gamma, knee):
    return g * (np.log1p(np.exp(knee * (va / mu + vg))) / knee) ** gamma

TUBES = [  # tube, grids, vmax, imax (A)
    ((100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 0.005),
    ((20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 0.030),
    ((4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 0.250),
    ((60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 0.020),
    ((19, 1.4e-3, 1.45, 1.5), list(range(0, -20, -2)), 450, 0.025),
    ((35, 2.0e-3, 1.45, 3), list(range(0, -11, -1)), 400, 0.016),
]
STYLES = ['default', 'classic', 'ggplot', 'bmh', 'seaborn-v0_8-whitegrid', 'seaborn-v0_8-ticks', 'grayscale']
LABELS = ['legend in', 'legend out', 'end', 'along', 'top']
SIZES = [((8, 6), 80), ((10, 7), 100), ((12, 8), 100), ((9, 6.5), 90)]

def one(path, rnd):
    tube, grids, vmax, imax = rnd.choice(TUBES)
    style, label, (size, dpi) = rnd.choice(STYLES), rnd.choice(LABELS), rnd.choice(SIZES)
    dashed = rnd.random() < 0.3
    black = rnd.random() < 0.5
    entry = rnd.choice(['%g V', 'Vg = %g V', 'Vg = %.1f V', 'Ec = %g', '%gV'])
    unit = 'mA' if imax < 0.1 or rnd.random() < 0.5 else 'A'
    scale = 1000 if unit == 'mA' else 1
    with plt.style.context(style):
        fig, ax = plt.subplots(figsize=size, dpi=dpi)
        va = np.linspace(0, vmax, 500)
        if rnd.random() < 0.5:
            ax.grid(True)
        ax.set_xlim(0, vmax)
        ax.set_ylim(0, imax * scale)
        for i, vg in enumerate(grids):
            ip = ip_of(va, vg, *tube) * scale
            if i == 0:
                rnd.choice([1, 1.5, 2])  # kept so that the seed draws the set it always drew
            ax.plot(va, ip, color='k' if black else 'C%d' % (i % 10), linestyle='--' if dashed else '-',
                    linewidth=1.3, label=entry % vg)
            fs = rnd.choice([8, 9, 10]) if i == 0 else fs
            if label == 'end' or label == 'top':
                k = np.searchsorted(ip, 0.97 * imax * scale)
                if k < len(va):
                    ax.text(va[k], 0.97 * imax * scale if label == 'end' else imax * scale, ' ' + entry % vg,
                            fontsize=fs, va='top' if label == 'end' else 'bottom', clip_on=False)
                else:
                    ax.text(vmax * 1.01, ip[-1], entry % vg, fontsize=fs, va='center', clip_on=False)
            elif label == 'along':
                k = int(len(va) * (0.55 + 0.03 * i))
                k = min(k, np.searchsorted(ip, 0.8 * imax * scale))
                if k < 5 or k >= len(va) - 5:
                    continue
                p0 = ax.transData.transform((va[k - 4], ip[k - 4]))
                p1 = ax.transData.transform((va[k + 4], ip[k + 4]))
                ang = np.degrees(np.arctan2(p1[1] - p0[1], p1[0] - p0[0]))
                ax.text(va[k], ip[k], entry % vg, fontsize=fs, rotation=ang, rotation_mode='anchor',
                        ha='center', va='center', bbox=dict(fc='white', ec='none', pad=0.5))
        if label == 'legend in':
            ax.legend(loc=rnd.choice(['upper left', 'lower right', 'center right']))
        elif label == 'legend out':
            ax.legend(loc='center left', bbox_to_anchor=(1.01, 0.5))
        ax.set_xlabel(rnd.choice(['Plate voltage (V)', 'Anode voltage [V]', 'Va (V)']))
        ax.set_ylabel('Plate current (%s)' % unit)
        fig.tight_layout()
        fig.savefig(path, metadata={'Software': None})
        plt.close(fig)
    return '%s\t%g\t%g\t%g\t%g\t%g\t%s %s %s %s %s' % (os.path.basename(path), vmax, imax, grids[0], grids[-1],
                                                    abs(grids[1] - grids[0]), style, label, 'dashed' if dashed else 'solid',
                                                    'black' if black else 'colour', entry.replace(' ', '_'))

d = sys.argv[1]
os.makedirs(d, exist_ok=True)
rnd = random.Random(7)
rows = [one(os.path.join(d, 'v%03d.png' % i), rnd) for i in range(int(sys.argv[2]) if len(sys.argv) > 2 else 100)]
open(os.path.join(d, 'truth.tsv'), 'w').write('\n'.join(rows) + '\n')
