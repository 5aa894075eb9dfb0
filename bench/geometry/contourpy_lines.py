# Times contourpy's lines on the grid the benchmark wrote: argv grid file, rows, columns, repetitions, levels.
# Prints the seconds of one pass over all levels, or a line starting with "skip:" when contourpy is missing.
import sys
import time

try:
    import numpy as np
    import contourpy
except ImportError as error:
    print("skip: %s (Debian package python3-contourpy)" % error)
    sys.exit(0)

path, rows, columns, repetitions = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
levels = [float(v) for v in sys.argv[5:]]
z = np.fromfile(path, dtype=np.float64).reshape(rows, columns)
generator = contourpy.contour_generator(z=z)
generator.lines(levels[0])  # warm up
best = float("inf")
for _ in range(repetitions):
    start = time.perf_counter()
    for level in levels:
        generator.lines(level)
    best = min(best, time.perf_counter() - start)
print("%.9f" % best)
