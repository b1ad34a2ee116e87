#!/usr/bin/python3
"""Plate-curve charts as a plotting program draws them (Matplotlib, Debian's python3-matplotlib),
for the reading tests: other fonts, legends, colours and layouts than Valvix draws, and curves
by another tube law (a smooth-knee Child law, its own gamma), so that no fit matches them exactly.
Run from this folder; prints each plot box in picture pixels (left, right, top, bottom)."""
import matplotlib
matplotlib.use('Agg')
import matplotlib.pyplot as plt
import numpy as np

plt.rcParams['svg.hashsalt'] = 'valvix'


def plate_current(va, vg, mu, g, gamma, knee):
    drive = va / mu + vg
    return g * (np.log1p(np.exp(knee * drive)) / knee) ** gamma


def chart(name, tube, grids, vmax, imax, unit, look, size, dpi=100):
    plt.rcParams['font.family'] = look.get('font', 'sans-serif')
    fig, ax = plt.subplots(figsize=size, dpi=dpi)
    va = np.linspace(0, vmax, 600)
    scale = 1000 if unit == 'mA' else 1
    for i, vg in enumerate(grids):
        ip = plate_current(va, vg, *tube) * scale
        colour = 'k' if look.get('black') else 'C%d' % (i % 10)
        ax.plot(va, ip, color=colour, linewidth=look.get('pen', 1.5), label=look.get('entry', 'Vg = %g V') % vg)
        if look.get('end labels'):
            top = np.argmax(ip > 0.96 * imax)
            x, y = (va[top], 0.96 * imax) if top > 0 else (va[-1], ip[-1])
            ax.text(x + 0.012 * vmax, y - 0.02 * imax, look['end labels'] % vg, fontsize=9,
                    va='bottom' if top > 0 else 'center', clip_on=False)
    ax.set_xlim(0, vmax)
    ax.set_ylim(0, imax)
    ax.set_xlabel(look.get('x title', 'Plate voltage (V)'))
    ax.set_ylabel('Plate current (%s)' % unit)
    if 'grid' in look:
        ax.grid(True, linestyle=look['grid'])
    if 'legend' in look:
        ax.legend(loc=look['legend'], fontsize=look.get('legend size', 10))
    if look.get('ticks in'):
        ax.tick_params(direction='in', top=True, right=True)
    if 'xticks' in look:
        ax.set_xticks(look['xticks'])
    if 'title' in look:
        ax.set_title(look['title'])
    fig.savefig(name, metadata={'Software': None})
    box = ax.get_window_extent()
    height = fig.get_size_inches()[1] * dpi
    print(name, round(box.x0, 2), round(box.x1, 2), round(height - box.y1, 2), round(height - box.y0, 2))


chart('small-signal-legend.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 5, 'mA',
      {'grid': '-', 'legend': 'upper left'}, (10, 7))
chart('medium-mu-end-labels.png', (20, 1.1e-3, 1.45, 2), list(range(0, -18, -2)), 400, 20, 'mA',
      {'black': True, 'grid': ':', 'end labels': '%g V'}, (9, 6.5))
chart('power-triode-amperes.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 0.25, 'A',
      {'legend': 'lower right', 'entry': 'Ec = %g', 'legend size': 9, 'title': 'Average plate characteristics'},
      (11, 8))


def saved_tight(fig, ax, name, height):
    """Lays the figure out tight, saves it and prints its plot box in picture pixels."""
    fig.tight_layout()
    fig.savefig(name, metadata={'Software': None})
    box = ax.get_window_extent()
    print(name, round(box.x0, 2), round(box.x1, 2), round(height - box.y1, 2), round(height - box.y0, 2))
    plt.close(fig)


def black_in_style(name, tube, grids, vmax, imax, style, entry, legend_at, size=(12, 8), dpi=100):
    """Black curves in one of Matplotlib's looks, a grid, a legend in the box."""
    with plt.style.context(style):
        fig, ax = plt.subplots(figsize=size, dpi=dpi)
        va = np.linspace(0, vmax, 500)
        ax.grid(True)
        ax.set_xlim(0, vmax)
        ax.set_ylim(0, imax)
        for vg in grids:
            ax.plot(va, plate_current(va, vg, *tube) * 1000, color='k', linestyle='-', linewidth=1.3, label=entry % vg)
        ax.legend(loc=legend_at)
        ax.set_xlabel('Plate voltage (V)')
        ax.set_ylabel('Plate current (mA)')
        saved_tight(fig, ax, name, size[1] * dpi)


# A black curve runs through the legend's last entry: the sample beside it says an entry stands there.
black_in_style('legend-last-entry-crossed.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'bmh',
               'Ec = %g', 'center right')
# A grid line runs below the legend's last entry, where the next entry's sample would stand: longer than a
# sample and starting elsewhere, it is none.
black_in_style('legend-grid-line-below.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250,
               'seaborn-v0_8-whitegrid', 'Vg = %.1f V', 'upper left', (8, 6), 80)
# "Ec = -2": the "=" shares no row with the minus after it, nor with the "c" before it, and its two bars
# join the words either side of it, one each: the entry's two words share most of their height.
black_in_style('legend-entries-split-at-the-equals.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30,
               'default', 'Ec = %g', 'upper center')
# Curves cross every entry of the legend below its third, which read in part or not at all: two are left to
# the others' step, two read as printed. (Right of where the fourth entry stands, its own text, crossed by a
# curve, runs as long as a sample, which is not taken for the next entry's.)
black_in_style('legend-crossed-below-the-third.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400,
               5, 'seaborn-v0_8-whitegrid', 'Vg = %g V', 'center right')
# A black curve runs through "-4V", between "-3V" and "-5V": its text stands taller above, and with the curve
# taken out it reads as nothing; the even step of the others mends it.
black_in_style('legend-entry-crossed-unread.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20,
               'seaborn-v0_8-ticks', '%gV', 'center right', (8, 6), 80)
# A black curve runs across the top of "-2V": its text stands taller above, its foot in line with the others'.
black_in_style('legend-entry-crossed-taller.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'bmh',
               '%gV', 'lower right', (8, 6), 80)
# A black curve runs through "Ec = -6" to "Ec = -14": "-6" and "-12" read as nothing in every ink and are left
# to the others' step; "-8", the second in a row, is read as printed, the curve through it ("Ec=8").
black_in_style('legend-entries-crossed-in-a-row.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30,
               'seaborn-v0_8-whitegrid', 'Ec = %g', 'center right')


def labelled_across_the_top(name, tube, grids, vmax, imax, size=(10, 7), dpi=100, dashes='--'):
    """Dashed curves, each labelled where it leaves the box through its top edge: the edge's line runs
    through the labels' digits, and through some labels' minus signs."""
    fig, ax = plt.subplots(figsize=size, dpi=dpi)
    va = np.linspace(0, vmax, 400)
    ax.grid(True, color='0.6', linewidth=0.6)
    for vg in grids:
        ip = plate_current(va, vg, *tube) * 1000
        ax.plot(va, ip, linestyle=dashes, color='k', linewidth=1.3)
        top = min(len(va) - 1, np.searchsorted(ip, 0.98 * imax))
        ax.text(va[top], min(ip[top], imax), ' %g V' % vg, fontsize=9, va='bottom')
    ax.set_xlim(0, vmax)
    ax.set_ylim(0, imax)
    ax.set_xlabel('Plate voltage (V)')
    ax.set_ylabel('Plate current (mA)')
    fig.savefig(name, metadata={'Software': None})
    plt.close(fig)


labelled_across_the_top('labels-across-the-top.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250)
# Smaller, long dashes: a part of a label read under the edge gives way to the label read whole.
labelled_across_the_top('labels-across-the-top-small.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30,
                        (8, 6), 80, (0, (8, 3)))
def gridded(size, dpi, vmax, imax):
    """A figure with gridded axes over the full scales, and 500 plate voltages across them."""
    fig, ax = plt.subplots(figsize=size, dpi=dpi)
    ax.grid(True)
    ax.set_xlim(0, vmax)
    ax.set_ylim(0, imax)
    return fig, ax, np.linspace(0, vmax, 500)


def labelled_along(name, tube, grids, vmax, imax, size, dpi, fontsize):
    """Dashed curves labelled along their slopes in white boxes, the lower curves' labels low in the
    box: the last one's box covers the x axis's line near its right end, so that line runs short."""
    fig, ax, va = gridded(size, dpi, vmax, imax)
    for i, vg in enumerate(grids):
        ip = plate_current(va, vg, *tube) * 1000
        ax.plot(va, ip, color='C%d' % (i % 10), linestyle='--', linewidth=1.3)
        k = min(int(len(va) * (0.55 + 0.03 * i)), np.searchsorted(ip, 0.8 * imax))
        before = ax.transData.transform((va[k - 4], ip[k - 4]))
        after = ax.transData.transform((va[k + 4], ip[k + 4]))
        slope = np.degrees(np.arctan2(after[1] - before[1], after[0] - before[0]))
        ax.text(va[k], ip[k], 'Vg = %g V' % vg, fontsize=fontsize, rotation=slope, rotation_mode='anchor',
                ha='center', va='center', bbox=dict(fc='white', ec='none', pad=0.5))
    ax.set_xlabel('Anode voltage [V]')
    ax.set_ylabel('Plate current (mA)')
    saved_tight(fig, ax, name, size[1] * dpi)


labelled_along('labels-along-over-the-axis.png', (35, 2.0e-3, 1.45, 3), list(range(0, -11, -1)), 400, 16, (9, 6.5), 90,
               9)
chart('ticks-in-serif.png', (19, 1.4e-3, 1.45, 1.5), list(range(0, -20, -2)), 450, 25, 'mA',
      {'black': True, 'pen': 1, 'ticks in': True, 'grid': '--', 'end labels': 'Ec=%gV',
       'xticks': range(0, 450, 50), 'font': 'serif'}, (10, 7.5), dpi=90)


def labelled_at_the_ends(name, tube, grids, vmax, imax, style, black, gridded, x_title, entry='Vg = %.1f V',
                         size=(8, 6), dpi=80, fontsize=9):
    """Small labels where the curves near the top, or right of the box beside the curves that end lower,
    at 640 x 480 unless told."""
    with plt.style.context(style):
        fig, ax = plt.subplots(figsize=size, dpi=dpi)
        va = np.linspace(0, vmax, 500)
        if gridded:
            ax.grid(True)
        ax.set_xlim(0, vmax)
        ax.set_ylim(0, imax)
        for i, vg in enumerate(grids):
            ip = plate_current(va, vg, *tube) * 1000
            ax.plot(va, ip, color='k' if black else 'C%d' % (i % 10), linewidth=1.3)
            k = np.searchsorted(ip, 0.97 * imax)
            if k < len(va):
                ax.text(va[k], 0.97 * imax, ' ' + entry % vg, fontsize=fontsize, va='top', clip_on=False)
            else:
                ax.text(vmax * 1.01, ip[-1], entry % vg, fontsize=fontsize, va='center', clip_on=False)
        ax.set_xlabel(x_title)
        ax.set_ylabel('Plate current (mA)')
        saved_tight(fig, ax, name, size[1] * dpi)


# One-decimal labels: most of them lose their points ("Vg = -4.0 V" reads "Vg=-40V").
labelled_at_the_ends('end-labels-points-lost.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30,
                     'seaborn-v0_8-ticks', True, True, 'Plate voltage (V)')
# The lowest curves' labels right of the box touch the x axis's line, which runs on through them.
labelled_at_the_ends('end-labels-on-the-axis.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20,
                     'seaborn-v0_8-ticks', True, False, 'Plate voltage (V)', 'Ec = %g')
# Labels of 10 px in half volts: "Vg = -1.5 V" reads "Vg=-15V", and the labels step evenly only with
# the points put back where they may have been lost.
with plt.rc_context({'font.family': 'sans-serif'}):
    labelled_at_the_ends('end-labels-half-volts.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3],
                         400, 5, 'ggplot', False, True, 'Anode voltage [V]', 'Vg = %g V', (12, 8), 100, 8)


def traced(name, tube, grids, vmax, imax, style):
    """A curve tracer's plot at 640 x 480: points joined, a legend of one-decimal entries."""
    with plt.style.context(style):
        fig, ax = plt.subplots(figsize=(8, 6), dpi=80)
        va = np.linspace(0, vmax, 300)
        for vg in grids:
            ax.plot(va, plate_current(va, vg, *tube) * 1000, marker='.', markersize=3, label='Vg = %.1f V' % vg)
        ax.set_xlim(0, vmax)
        ax.set_ylim(0, imax)
        ax.set_xlabel('Anode voltage [V]')
        ax.set_ylabel('Anode current [mA]')
        ax.legend(loc='upper left')
        fig.savefig(name, metadata={'Software': None})
        plt.close(fig)


# Its legend in the box, where curves counted past its last entry would lengthen the family.
traced('traced-legend-classic.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'classic')
# Steps of tens printed with a point: "Vg = 0.0 V" read whole says nothing of points lost.
traced('traced-tens-classic.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250, 'classic')
# Entries of 9 px whose points are lost: "Vg = -1.0 V" reads "Vg=-10V", "Vg = 0.0 V" "Vg=00V".
traced('traced-points-lost.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'default')
# A light grey frame on a grey panel: by its dark lines alone, the box would end where the curves'
# tails on the x axis do, at 285 V.
traced('traced-no-frame.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 5, 'bmh')



def styled(name, tube, grids, vmax, imax, style, entry, outside, smudged=None):
    """A curve tracer's plot in one of Matplotlib's looks: '%g V' or one-decimal entries, the
    legend in the box or right of it, the entry of grid voltage `smudged` past reading. Prints
    the box as the other charts do."""
    plt.rcParams['font.family'] = 'sans-serif'
    with plt.style.context(style):
        fig, ax = plt.subplots(figsize=(8, 6), dpi=80)
        va = np.linspace(0, vmax, 300)
        for vg in grids:
            ax.plot(va, plate_current(va, vg, *tube) * 1000, marker='.', markersize=3,
                    label='&%?' if vg == smudged else entry % vg)
        ax.set_xlim(0, vmax)
        ax.set_ylim(0, imax)
        ax.set_xlabel('Anode voltage [V]')
        ax.set_ylabel('Anode current [mA]')
        if outside:
            ax.legend(loc='center left', bbox_to_anchor=(1.01, 0.5))
            fig.tight_layout()
        else:
            ax.legend(loc='upper left')
        fig.savefig(name, metadata={'Software': None})
        box = ax.get_window_extent()
        print(name, round(box.x0, 2), round(box.x1, 2), round(480 - box.y1, 2), round(480 - box.y0, 2))
        plt.close(fig)


# A grey panel, white grid lines across it and no frame: the box is the panel's edges.
styled('panel-ggplot.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'ggplot', '%g V', False)
# A light grey frame and grid on white, too faint for the dark lines' threshold.
styled('faint-frame.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'seaborn-v0_8-whitegrid',
       '%g V', False)
# "-60 V" reads with Tesseract's confidence 0: a legend's entry all the same.
styled('legend-entry-unsure.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250, 'bmh', '%g V',
       False)
# A legend right of the box, wider than the margin where curve labels are looked for: cut at the
# margin, "Vg = -20.0 V" would read "Vg=-2".
styled('legend-outside-small.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30, 'ggplot',
       'Vg = %.1f V', True)
# A wider legend right of the box, the gaps between its entries' characters in line from entry to
# entry: a column of paper among them is no end of the legend.
styled('legend-outside-tens.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250, 'bmh',
       'Vg = %.1f V', True)
# "-60 V" smudged past reading, between "-50 V" and "-70 V": the even step of the others mends it.
styled('legend-entry-smudged.png', (4.2, 1.3e-3, 1.5, 0.4), list(range(0, -100, -10)), 500, 250, 'bmh', '%g V',
       False, -60)
# Entries of 10 px losing their points, two of them shown ("Vg=-0.5V", "Vg=-2.5V"; "Vg = -1.0 V"
# reads "Vg=-10V"): the points go back where the others show how many digits follow.
styled('legend-points-shown-by-two.png', (100, 3.0e-3, 1.4, 6), [0, -0.5, -1, -1.5, -2, -2.5, -3], 400, 5, 'bmh',
       'Vg = %.1f V', False)
# "Vg = 0.0 V" read whole: every entry prints a point.
styled('legend-points-shown-by-zero.png', (60, 4e-3, 1.4, 4), [0, -1, -2, -3, -4, -5, -6], 300, 20, 'bmh',
       'Vg = %.1f V', False)
# The grayscale look: curves in black and in three greys, the lightest too light for the
# threshold that the black ones set.
with plt.rc_context({'font.family': 'sans-serif'}):
    labelled_at_the_ends('end-labels-grey-curves.png', (35, 2.0e-3, 1.45, 3), list(range(0, -11, -1)), 400, 16,
                         'grayscale', False, False, 'Anode voltage [V]', '%gV', (12, 8), 100, 8)
# The grayscale look with a black grid, which cuts the light grey curves into pieces a grid square long.
with plt.rc_context({'font.family': 'sans-serif'}):
    labelled_at_the_ends('end-labels-grey-gridded.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30,
                         'grayscale', False, True, 'Plate voltage (V)', 'Ec = %g', (10, 7), 80, 9)


def labelled_along_a_data_sheet(name, tube, grids, vmax, imax, minor, size=(10, 7), dpi=100, fontsize=8):
    """A data sheet's look: black curves over a dense grid (black major lines, grey minor ones),
    each labelled with its bare grid voltage printed along its slope just above it, grid lines
    running through the labels."""
    from matplotlib.ticker import MultipleLocator
    fig, ax = plt.subplots(figsize=size, dpi=dpi)
    va = np.linspace(0, vmax, 600)
    ax.set_xlim(0, vmax)
    ax.set_ylim(0, imax)
    ax.xaxis.set_minor_locator(MultipleLocator(minor[0]))
    ax.yaxis.set_minor_locator(MultipleLocator(minor[1]))
    ax.grid(True, which='major', color='k', linewidth=0.8)
    ax.grid(True, which='minor', color='0.45', linewidth=0.5)
    for i, vg in enumerate(grids):
        ip = plate_current(va, vg, *tube) * 1000
        ax.plot(va, ip, color='k', linewidth=1.6)
        k = min(int(len(va) * (0.4 + 0.035 * i)), np.searchsorted(ip, 0.75 * imax))
        before = ax.transData.transform((va[k - 4], ip[k - 4]))
        after = ax.transData.transform((va[k + 4], ip[k + 4]))
        slope = np.degrees(np.arctan2(after[1] - before[1], after[0] - before[0]))
        ax.annotate('%g' % vg, (va[k], ip[k]), xytext=(-3, 3), textcoords='offset points', fontsize=fontsize,
                    rotation=slope, rotation_mode='anchor', ha='center', va='bottom')
    ax.set_xlabel('PLATE VOLTS')
    ax.set_ylabel('PLATE MILLIAMPERES')
    saved_tight(fig, ax, name, size[1] * dpi)


# Labels of 11 px along steep curves: their ink lies square ("0", "-1"), or a stub of curve or grid
# line joined to it turns it, so each is turned level as its curve runs.
with plt.rc_context({'font.family': 'sans-serif'}):
    labelled_along_a_data_sheet('labels-along-data-sheet.png', (40, 2.0e-3, 1.4, 4),
                                [0, -0.5, -1, -1.5, -2, -2.5, -3, -3.5, -4], 300, 10, (10, 0.5))


def labelled_on_top_in_style(name, tube, grids, vmax, imax, style, fontsize, size=(8, 6), dpi=80):
    """Coloured curves in a plotting style's own look, each labelled just above the box where it leaves
    through the top edge, the others at their ends right of the box. In this small heavy print the
    minus signs run into the digits, and a label read as printed gives nothing."""
    with plt.style.context(style):
        fig, ax, va = gridded(size, dpi, vmax, imax)
        for i, vg in enumerate(grids):
            ip = plate_current(va, vg, *tube) * 1000
            ax.plot(va, ip, color='C%d' % (i % 10), linewidth=1.3)
            k = np.searchsorted(ip, 0.97 * imax)
            if k < len(va):
                ax.text(va[k], imax, ' %gV' % vg, fontsize=fontsize, va='bottom', clip_on=False)
            else:
                ax.text(vmax * 1.01, ip[-1], '%gV' % vg, fontsize=fontsize, va='center', clip_on=False)
        ax.set_xlabel('Plate voltage (V)')
        ax.set_ylabel('Plate current (mA)')
        saved_tight(fig, ax, name, size[1] * dpi)


labelled_on_top_in_style('labels-on-top-joined-minus.png', (20, 1.1e-3, 1.45, 2), list(range(0, -22, -2)), 500, 30,
                         'seaborn-v0_8-ticks', 9)
