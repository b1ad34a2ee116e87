#!/usr/bin/python3
"""sweep.py RESULTS FOLDER CLI: reads every picture of FOLDER/truth.tsv (picture, volts and amperes full
scale, most positive and most negative grid voltage, step) with `CLI read`, and grades each full scale
and the grid voltages: ok, WRONG or - (left to the user). Writes a line a picture to RESULTS and prints
the counts."""
import concurrent.futures as cf
import os
import re
import subprocess
import sys
import tempfile

out, d = sys.argv[1], sys.argv[2]
cli = sys.argv[3]
rows = [l.split('\t') for l in open(os.path.join(d, 'truth.tsv')).read().splitlines() if l]
def close(a, b): return abs(a - b) <= 1e-4 * max(1, abs(b))
def one(r):
    name, v, a, p, n, s = r[0], *map(float, r[1:6])
    res = subprocess.run([cli, 'read', '--picture', os.path.join(d, name), '--out', os.path.join(scratch, name + '.VXF')],
                         capture_output=True, text=True, timeout=120)
    t = res.stdout
    def grade(m, ok):
        return '-' if not m else ('ok' if ok(m) else 'WRONG')
    mv = re.search(r'Plate voltage full scale: ([-\d.e+]+) V', t)
    ma = re.search(r'Plate current full scale: ([-\d.e+]+) A', t)
    mg = re.search(r'Grid voltages: ([-\d.e+]+) V to ([-\d.e+]+) V in steps of ([-\d.e+]+) V', t)
    gv = grade(mv, lambda m: close(float(m.group(1)), v))
    ga = grade(ma, lambda m: close(float(m.group(1)), a))
    gg = grade(mg, lambda m: close(float(m.group(1)), p) and close(float(m.group(2)), n) and close(float(m.group(3)), s))
    return '%s\t%s\t%s\t%s\t%s' % (name, gv, ga, gg, mg.group(0) if mg else '')
with tempfile.TemporaryDirectory() as scratch, cf.ThreadPoolExecutor(os.cpu_count()) as ex:
    lines = list(ex.map(one, rows))
with open(out, 'w') as f:
    f.write('\n'.join(lines) + '\n')
cols = list(zip(*[l.split('\t')[1:4] for l in lines]))
print(out, ' '.join('%s ok %d wrong %d /%d' % (k, c.count('ok'), c.count('WRONG'), len(c)) for k, c in zip('VAG', cols)))
