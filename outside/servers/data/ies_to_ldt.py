#!/usr/bin/env python3
"""Writes the EULUMDAT form of led-street-2070lm.ies (Isym 0, lamp flux 2070 lm, cd/klm of that flux).

Independent of the program's own importer, so that the two readers can be checked against each other.
"""
import sys

src, dst = sys.argv[1], sys.argv[2]
lines = open(src, encoding="latin-1").read().splitlines()
tilt = next(i for i, l in enumerate(lines) if l.startswith("TILT="))
tokens = " ".join(lines[tilt + 1:]).split()
nums = [float(t) for t in tokens]
lamps, lumens, mult, nv, nh = nums[0], nums[1], nums[2], int(nums[3]), int(nums[4])
pos = 13
vert = nums[pos:pos + nv]; pos += nv
horiz = nums[pos:pos + nh]; pos += nh
cand = nums[pos:pos + nv * nh]
assert len(cand) == nv * nh and horiz[0] == 0 and horiz[-1] < 360
flux = 2070.0
out = [
    "Hella", "1", "0", str(nh), "1", str(nv), "1",
    "TU Berlin 2010_02", "LED Leuchte Hella 8 NS 010 758-014 mess03", "8 NS 010 758-014",
    "led-street-2070lm.ldt", "2010",
    "0", "0", "0", "0", "0", "0", "0", "0", "0",
    "100", "100", "1", "0",
    "1", "1", "LED Testlampe 2070 lm", "%g" % flux, "0", "0", "100",
] + ["0"] * 10
out += ["%g" % h for h in horiz]
out += ["%g" % v for v in vert]
out += ["%.6f" % (c * mult * 1000.0 / flux) for c in cand]
open(dst, "w", newline="\r\n").write("\n".join(out) + "\n")
