# Makes the import sample with ezdxf (test-only): lines, bulged polylines, arcs, circles, Cyrillic TEXT and
# MTEXT, nested insertions, several layers. Usage: make_sample.py <out.dxf> [R2000|R2018]
import sys
import ezdxf

version = sys.argv[2] if len(sys.argv) > 2 else "R2000"
doc = ezdxf.new(version)
doc.header["$INSUNITS"] = 6
for name, colour in (("Дороги", 1), ("Здания", 5), ("Подписи", 3)):
    doc.layers.add(name, color=colour)
msp = doc.modelspace()
msp.add_line((-40, -20), (40, -20), dxfattribs={"layer": "Дороги"})
msp.add_line((-40, 20), (40, 20), dxfattribs={"layer": "Дороги"})
msp.add_lwpolyline([(-30, -5, 0, 0, 1), (-20, -5, 0, 0, 0), (-20, 5), (-30, 5)], format="xyseb",
                   dxfattribs={"layer": "Здания", "closed": True})
msp.add_arc((0, 0), 12, 0, 90, dxfattribs={"layer": "Дороги"})
msp.add_circle((25, 0), 4, dxfattribs={"layer": "Здания"})
msp.add_text("Улица Ленина", dxfattribs={"layer": "Подписи", "height": 2.5, "insert": (-35, 22)})
msp.add_mtext("{\\fArial|b1;Парк}\\PОтдыха", dxfattribs={"layer": "Подписи", "char_height": 2, "insert": (10, 10)})
tree = doc.blocks.new("TREE")
tree.add_circle((0, 0), 1)
grove = doc.blocks.new("GROVE")
grove.add_blockref("TREE", (0, 0))
grove.add_blockref("TREE", (4, 0))
msp.add_blockref("GROVE", (10, -10), dxfattribs={"layer": "Здания", "rotation": 90, "xscale": 2, "yscale": 2})
doc.saveas(sys.argv[1])
