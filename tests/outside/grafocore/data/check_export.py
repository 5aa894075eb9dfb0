# Reads an exported DXF with ezdxf (test-only) and prints the audit's error count, then per layer the count of
# each entity type, then the heights of the 3D polylines' vertices that are not 0. One "key value" a line.
import sys
import ezdxf
from collections import Counter

doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
print("audit_errors", len(auditor.errors))
counts = Counter()
heights = set()
for e in doc.modelspace():
    counts[(e.dxf.layer, e.dxftype())] += 1
    if e.dxftype() == "POLYLINE":
        for v in e.vertices:
            if v.dxf.location.z != 0:
                heights.add(round(v.dxf.location.z, 3))
    if e.dxftype() == "INSERT":
        counts[(e.dxf.layer, "INSERT:" + e.dxf.name)] += 1
for (layer, kind), n in sorted(counts.items()):
    print("count", "|".join((layer, kind, str(n))))
print("heights", len(heights))
texts = [e.dxf.text for e in doc.modelspace() if e.dxftype() == "TEXT"]
print("first_text", texts[0] if texts else "")
