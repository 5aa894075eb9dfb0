# Times contourpy's lines on the grid the benchmark wrote: argv grid file, rows, columns, repetitions, levels.
# Prints the median seconds of one pass over all levels (serial, LineType.Separate), the number of lines and of
# their vertices; or a line starting with "skip:" when contourpy is missing.
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
generator = contourpy.contour_generator(z=z, name="serial", line_type=contourpy.LineType.Separate,
                                         quad_as_tri=True)
generator.lines(levels[0])  # warm up
times = []
for _ in range(repetitions):
    start = time.perf_counter()
    lines = [generator.lines(level) for level in levels]
    times.append(time.perf_counter() - start)
times.sort()
count = sum(len(level) for level in lines)
vertices = sum(len(line) for level in lines for line in level)
# Where the vertices lie, summed over both coordinates in grid steps: the same sum says the same vertices.
place = sum(float(line.sum()) for level in lines for line in level)
print("%.9f %d %d %.6f" % (times[len(times) // 2], count, vertices, place))
