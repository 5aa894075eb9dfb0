# Makes the import sample with ezdxf (test-only): lines, bulged polylines, arcs, circles, Cyrillic TEXT and
# MTEXT, nested insertions, several layers. Usage: make_sample.py <out.dxf> [R2000|R2018] [scale]
import sys
import ezdxf

version = sys.argv[2] if len(sys.argv) > 2 else "R2000"
k = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
doc = ezdxf.new(version)
doc.header["$INSUNITS"] = 6
for name, colour in (("Дороги", 1), ("Здания", 5), ("Подписи", 3)):
    doc.layers.add(name, color=colour)
msp = doc.modelspace()
msp.add_line((-40 * k, -20 * k), (40 * k, -20 * k), dxfattribs={"layer": "Дороги"})
msp.add_line((-40 * k, 20 * k), (40 * k, 20 * k), dxfattribs={"layer": "Дороги"})
msp.add_lwpolyline([(-30 * k, -5 * k, 0, 0, 1), (-20 * k, -5 * k, 0, 0, 0), (-20 * k, 5 * k), (-30 * k, 5 * k)],
                   format="xyseb", dxfattribs={"layer": "Здания", "closed": True})
msp.add_arc((0, 0), 12 * k, 0, 90, dxfattribs={"layer": "Дороги"})
msp.add_circle((25 * k, 0), 4 * k, dxfattribs={"layer": "Здания"})
msp.add_text("Улица Ленина", dxfattribs={"layer": "Подписи", "height": 2.5 * k, "insert": (-35 * k, 22 * k)})
msp.add_mtext("{\\fArial|b1;Парк}\\PОтдыха",
              dxfattribs={"layer": "Подписи", "char_height": 2 * k, "insert": (10 * k, 10 * k)})
tree = doc.blocks.new("TREE")
tree.add_circle((0, 0), 1)
grove = doc.blocks.new("GROVE")
grove.add_blockref("TREE", (0, 0))
grove.add_blockref("TREE", (4, 0))
msp.add_blockref("GROVE", (10 * k, -10 * k),
                 dxfattribs={"layer": "Здания", "rotation": 90, "xscale": 2 * k, "yscale": 2 * k})
doc.saveas(sys.argv[1])
