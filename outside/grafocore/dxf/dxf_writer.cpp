#include "outside/grafocore/dxf/dxf_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace grafocore::dxf {

namespace {

void Append(std::string& out, int code, std::string_view value)
{
  char buffer[16];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, code);
  (void)ec;
  // Codes right-aligned in three places, as AutoCAD writes them.
  const size_t width = static_cast<size_t>(end - buffer);
  if (width < 3)
    out.append(3 - width, ' ');
  out.append(buffer, end);
  out += '\n';
  // A line break inside a value would split the pair.
  for (char c : value)
    out += (c == '\n' || c == '\r') ? ' ' : c;
  out += '\n';
}

std::string Number(double value)
{
  if (!std::isfinite(value))
    value = 0;
  if (value == 0)
    value = 0;  // no "-0"
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (ec != std::errc())
    return "0.0";
  std::string text(buffer, end);
  while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] != '.')
    text.pop_back();
  return text;
}

}  // namespace

void Writer::Pair(int code, std::string_view value) { Append(m_out, code, value); }
void Writer::Pair(int code, int value) { Append(m_out, code, std::to_string(value)); }
void Writer::Pair(int code, double value) { Append(m_out, code, Number(value)); }

void Writer::Line(std::string_view layer, const Point& a, const Point& b)
{
  Pair(0, "LINE");
  Pair(8, layer);
  Pair(10, a.x);
  Pair(20, a.y);
  Pair(30, a.z);
  Pair(11, b.x);
  Pair(21, b.y);
  Pair(31, b.z);
}

void Writer::Polyline(std::string_view layer, const std::vector<Point>& points, bool closed)
{
  Pair(0, "POLYLINE");
  Pair(8, layer);
  Pair(66, 1);
  Pair(10, 0.0);
  Pair(20, 0.0);
  Pair(30, 0.0);
  // 8: a 3D polyline, whose vertices keep their own heights.
  Pair(70, 8 | (closed ? 1 : 0));
  for (const Point& p : points) {
    Pair(0, "VERTEX");
    Pair(8, layer);
    Pair(10, p.x);
    Pair(20, p.y);
    Pair(30, p.z);
    Pair(70, 32);
  }
  Pair(0, "SEQEND");
  Pair(8, layer);
}

void Writer::Text(std::string_view layer, const Point& at, double height, double rotation, std::string_view text)
{
  Pair(0, "TEXT");
  Pair(8, layer);
  Pair(10, at.x);
  Pair(20, at.y);
  Pair(30, at.z);
  Pair(40, height > 0 ? height : 1.0);
  Pair(1, text);
  if (rotation != 0)
    Pair(50, rotation);
  Pair(7, "STANDARD");
}

void Writer::Circle(std::string_view layer, const Point& centre, double radius)
{
  Pair(0, "CIRCLE");
  Pair(8, layer);
  Pair(10, centre.x);
  Pair(20, centre.y);
  Pair(30, centre.z);
  Pair(40, radius);
}

void Writer::PointEntity(std::string_view layer, const Point& at)
{
  Pair(0, "POINT");
  Pair(8, layer);
  Pair(10, at.x);
  Pair(20, at.y);
  Pair(30, at.z);
}

void Writer::Insert(std::string_view layer, std::string_view block, const Point& at, double rotation)
{
  Pair(0, "INSERT");
  Pair(8, layer);
  Pair(2, block);
  Pair(10, at.x);
  Pair(20, at.y);
  Pair(30, at.z);
  if (rotation != 0)
    Pair(50, rotation);
}

std::string Writer::File(const std::vector<LayerDef>& layers, const std::vector<BlockDef>& blocks, const Point& min,
                         const Point& max) const
{
  Writer w;
  w.Pair(0, "SECTION");
  w.Pair(2, "HEADER");
  w.Pair(9, "$ACADVER");
  w.Pair(1, "AC1009");
  w.Pair(9, "$DWGCODEPAGE");
  w.Pair(3, "ANSI_1251");
  w.Pair(9, "$INSUNITS");
  w.Pair(70, 6);
  w.Pair(9, "$EXTMIN");
  w.Pair(10, min.x);
  w.Pair(20, min.y);
  w.Pair(30, min.z);
  w.Pair(9, "$EXTMAX");
  w.Pair(10, max.x);
  w.Pair(20, max.y);
  w.Pair(30, max.z);
  w.Pair(0, "ENDSEC");

  w.Pair(0, "SECTION");
  w.Pair(2, "TABLES");
  w.Pair(0, "TABLE");
  w.Pair(2, "LTYPE");
  w.Pair(70, 1);
  w.Pair(0, "LTYPE");
  w.Pair(2, "CONTINUOUS");
  w.Pair(70, 0);
  w.Pair(3, "Solid line");
  w.Pair(72, 65);
  w.Pair(73, 0);
  w.Pair(40, 0.0);
  w.Pair(0, "ENDTAB");
  w.Pair(0, "TABLE");
  w.Pair(2, "LAYER");
  w.Pair(70, static_cast<int>(layers.size() + 1));
  auto layer = [&w](std::string_view name, int colour) {
    w.Pair(0, "LAYER");
    w.Pair(2, name);
    w.Pair(70, 0);
    w.Pair(62, colour);
    w.Pair(6, "CONTINUOUS");
  };
  layer("0", 7);
  for (const LayerDef& def : layers)
    layer(def.name, def.colour);
  w.Pair(0, "ENDTAB");
  w.Pair(0, "TABLE");
  w.Pair(2, "STYLE");
  w.Pair(70, 1);
  w.Pair(0, "STYLE");
  w.Pair(2, "STANDARD");
  w.Pair(70, 0);
  w.Pair(40, 0.0);
  w.Pair(41, 1.0);
  w.Pair(50, 0.0);
  w.Pair(71, 0);
  w.Pair(42, 2.5);
  w.Pair(3, "txt");
  w.Pair(4, "");
  w.Pair(0, "ENDTAB");
  w.Pair(0, "ENDSEC");

  w.Pair(0, "SECTION");
  w.Pair(2, "BLOCKS");
  for (const BlockDef& block : blocks) {
    w.Pair(0, "BLOCK");
    w.Pair(8, "0");
    w.Pair(2, block.name);
    w.Pair(70, 0);
    w.Pair(10, 0.0);
    w.Pair(20, 0.0);
    w.Pair(30, 0.0);
    w.Pair(3, block.name);
    w.m_out += block.entities;
    w.Pair(0, "ENDBLK");
    w.Pair(8, "0");
  }
  w.Pair(0, "ENDSEC");

  w.Pair(0, "SECTION");
  w.Pair(2, "ENTITIES");
  w.m_out += m_out;
  w.Pair(0, "ENDSEC");
  w.Pair(0, "EOF");
  return w.m_out;
}

}  // namespace grafocore::dxf
