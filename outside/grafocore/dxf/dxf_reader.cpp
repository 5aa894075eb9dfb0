#include "outside/grafocore/dxf/dxf_reader.h"

#include "platform/base/codepage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <numbers>

namespace grafocore::dxf {

namespace {

constexpr double kPi = std::numbers::pi;
// Chord step of curves turned into polylines: 64 segments a full turn keep a 50 m roundabout within 6 cm.
constexpr double kCurveStep = 2 * kPi / 64;
constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";

struct Pair {
  int code;
  std::string_view value;
};

struct Failure {
  ReadError error;
  size_t pair;  // index of the pair to blame, or SIZE_MAX
};

std::string_view Trim(std::string_view s)
{
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Splits the file into pairs; a code line that is not a number is malformed.
std::vector<Pair> SplitPairs(std::string_view bytes, size_t* badPair)
{
  std::vector<Pair> pairs;
  *badPair = SIZE_MAX;
  size_t pos = 0;
  auto nextLine = [&](std::string_view* line) {
    if (pos >= bytes.size())
      return false;
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos)
      end = bytes.size();
    *line = bytes.substr(pos, end - pos);
    if (!line->empty() && line->back() == '\r')
      line->remove_suffix(1);
    pos = end + 1;
    return true;
  };
  std::string_view codeLine, valueLine;
  while (nextLine(&codeLine)) {
    const std::string_view digits = Trim(codeLine);
    if (digits.empty() && pos >= bytes.size())
      break;
    int code = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (ec != std::errc() || end != digits.data() + digits.size() || code < -5 || code > 1071 ||
        !nextLine(&valueLine)) {
      *badPair = pairs.size();
      return pairs;
    }
    pairs.push_back({code, valueLine});
  }
  return pairs;
}

bool ParseDouble(std::string_view text, double* value)
{
  text = Trim(text);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(*value);
}

bool ParseInt(std::string_view text, int* value)
{
  text = Trim(text);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

// An entity's pairs [begin, end), and for a POLYLINE its VERTEX entities.
struct RawEntity {
  std::string_view type;
  size_t begin = 0, end = 0;
  std::vector<std::pair<size_t, size_t>> vertices;
};

struct Block {
  Point base;
  std::vector<RawEntity> entities;
};

// Affine map of the plane and height: p' = m * p + t (rows x, y, z).
struct Transform {
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  double t[3] = {0, 0, 0};

  Point Apply(const Point& p) const
  {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t[0],
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t[1],
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t[2]};
  }
  Transform Then(const Transform& inner) const
  {
    Transform r;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j)
        r.m[i][j] = m[i][0] * inner.m[0][j] + m[i][1] * inner.m[1][j] + m[i][2] * inner.m[2][j];
      r.t[i] = m[i][0] * inner.t[0] + m[i][1] * inner.t[1] + m[i][2] * inner.t[2] + t[i];
    }
    return r;
  }
  double PlanScale() const { return std::sqrt(std::fabs(m[0][0] * m[1][1] - m[0][1] * m[1][0])); }
  double PlanRotation() const { return std::atan2(m[1][0], m[0][0]) * 180 / kPi; }
};

class Reader {
public:
  Reader(const std::vector<Pair>& pairs, Drawing& drawing, const ReadLimits& limits)
      : m_pairs(pairs), m_drawing(drawing), m_limits(limits)
  {
  }

  void Read();

private:
  bool IsEntityStart(size_t i) const { return m_pairs[i].code == 0; }
  bool Is(size_t i, int code, std::string_view value) const
  {
    return i < m_pairs.size() && m_pairs[i].code == code && Trim(m_pairs[i].value) == value;
  }
  size_t NextZero(size_t i) const
  {
    for (++i; i < m_pairs.size() && m_pairs[i].code != 0;)
      ++i;
    return i;
  }
  [[noreturn]] void Fail(ReadError error, size_t pair) const { throw Failure{error, pair}; }

  void ReadHeader(size_t* i);
  void ReadTables(size_t* i);
  void ReadBlocks(size_t* i);
  std::vector<RawEntity> ReadEntities(size_t* i, std::string_view endMark);

  double Number(size_t i) const;
  double Coordinate(size_t i) const;
  int Integer(size_t i) const;
  std::string Text(std::string_view raw) const;

  int LayerIndex(std::string_view name);
  void Expand(const std::vector<RawEntity>& entities, const Transform& transform, int blockLayer, int blockColour,
              int depth);
  void ExpandOne(const RawEntity& entity, const Transform& transform, int blockLayer, int blockColour, int depth);
  Figure& NewFigure(FigureKind kind, int layer, int colour, size_t at);
  void AddPoint(Figure& figure, const Point& p, size_t at);
  void AddSnap(const Point& p) { m_drawing.snapPoints.push_back(p); }
  void AddArc(Figure& figure, const Transform& transform, const Point& centre, double radius, double from,
              double sweep, size_t at);

  const std::vector<Pair>& m_pairs;
  Drawing& m_drawing;
  const ReadLimits& m_limits;
  std::map<std::string, Block, std::less<>> m_blocks;
  std::vector<std::string_view> m_insertStack;
  std::vector<RawEntity> m_entities;
  bool m_utf8 = false;
  bool m_latin = false;
  double m_unitScale = 1;
  size_t m_points = 0;
  size_t m_visited = 0;
};

double Reader::Number(size_t i) const
{
  double value = 0;
  if (!ParseDouble(m_pairs[i].value, &value))
    Fail(ReadError::Malformed, i);
  return value;
}

double Reader::Coordinate(size_t i) const
{
  const double value = Number(i);
  if (std::fabs(value) > m_limits.coordinate)
    Fail(ReadError::AbsurdCoordinate, i);
  return value;
}

int Reader::Integer(size_t i) const
{
  int value = 0;
  if (!ParseInt(m_pairs[i].value, &value))
    Fail(ReadError::Malformed, i);
  return value;
}

// Units of $INSUNITS in metres; unitless and unknown drawings are taken as metres.
double UnitScale(int units)
{
  switch (units) {
  case 1: return 0.0254;
  case 2: return 0.3048;
  case 4: return 0.001;
  case 5: return 0.01;
  case 7: return 1000;
  case 14: return 0.1;
  default: return 1;
  }
}

void Reader::ReadHeader(size_t* i)
{
  std::string_view variable;
  for (; *i < m_pairs.size() && !Is(*i, 0, "ENDSEC"); ++*i) {
    const Pair& p = m_pairs[*i];
    if (p.code == 9) {
      variable = Trim(p.value);
    } else if (variable == "$ACADVER" && p.code == 1) {
      // AC1021 (2007) and later store text as UTF-8.
      const std::string_view v = Trim(p.value);
      m_utf8 = v.size() == 6 && v.substr(0, 2) == "AC" && v >= "AC1021";
    } else if (variable == "$DWGCODEPAGE" && p.code == 3) {
      std::string page(Trim(p.value));
      std::transform(page.begin(), page.end(), page.begin(), [](unsigned char c) { return std::toupper(c); });
      m_latin = page == "ANSI_1252";
    } else if (variable == "$INSUNITS" && p.code == 70) {
      m_unitScale = UnitScale(Integer(*i));
    }
  }
}

int Reader::LayerIndex(std::string_view name)
{
  const std::string key = Text(name);
  const int found = m_drawing.FindLayer(key);
  if (found >= 0)
    return found;
  if (m_drawing.layers.size() >= m_limits.layers)
    Fail(ReadError::TooLarge, SIZE_MAX);
  m_drawing.layers.push_back({key, 7, true});
  return static_cast<int>(m_drawing.layers.size() - 1);
}

void Reader::ReadTables(size_t* i)
{
  while (*i < m_pairs.size() && !Is(*i, 0, "ENDSEC")) {
    if (!Is(*i, 0, "LAYER")) {
      ++*i;
      continue;
    }
    const size_t end = NextZero(*i);
    std::string_view name = "0";
    int colour = 7;
    int flags = 0;
    for (size_t k = *i + 1; k < end; ++k) {
      if (m_pairs[k].code == 2)
        name = Trim(m_pairs[k].value);
      else if (m_pairs[k].code == 62)
        colour = Integer(k);
      else if (m_pairs[k].code == 70)
        flags = Integer(k);
    }
    Layer& layer = m_drawing.layers[LayerIndex(name)];
    layer.colour = colour == 0 ? 7 : std::min(std::abs(colour), 255);
    layer.on = colour >= 0 && !(flags & 1);
    *i = end;
  }
}

void Reader::ReadBlocks(size_t* i)
{
  while (*i < m_pairs.size() && !Is(*i, 0, "ENDSEC")) {
    if (!Is(*i, 0, "BLOCK")) {
      ++*i;
      continue;
    }
    const size_t end = NextZero(*i);
    std::string name;
    Block block;
    for (size_t k = *i + 1; k < end; ++k) {
      switch (m_pairs[k].code) {
      case 2: name = std::string(Trim(m_pairs[k].value)); break;
      case 10: block.base.x = Coordinate(k); break;
      case 20: block.base.y = Coordinate(k); break;
      case 30: block.base.z = Coordinate(k); break;
      }
    }
    *i = end;
    block.entities = ReadEntities(i, "ENDBLK");
    if (*i < m_pairs.size())
      *i = NextZero(*i);
    if (m_blocks.size() >= m_limits.blocks)
      Fail(ReadError::TooLarge, *i);
    m_blocks[name] = std::move(block);
  }
}

// Entities from *i up to endMark (or the section's end); *i is left on the mark.
std::vector<RawEntity> Reader::ReadEntities(size_t* i, std::string_view endMark)
{
  std::vector<RawEntity> entities;
  while (*i < m_pairs.size() && !Is(*i, 0, endMark) && !Is(*i, 0, "ENDSEC") && !Is(*i, 0, "EOF")) {
    if (!IsEntityStart(*i)) {
      ++*i;
      continue;
    }
    RawEntity entity;
    entity.type = Trim(m_pairs[*i].value);
    entity.begin = *i + 1;
    entity.end = NextZero(*i);
    *i = entity.end;
    if (entity.type == "POLYLINE") {
      while (Is(*i, 0, "VERTEX")) {
        const size_t end = NextZero(*i);
        entity.vertices.emplace_back(*i + 1, end);
        *i = end;
      }
      if (Is(*i, 0, "SEQEND"))
        *i = NextZero(*i);
    }
    entities.push_back(std::move(entity));
  }
  return entities;
}

// Raw bytes of the file's code page to the program's cp1251; \U+XXXX escapes and %%-codes resolved.
std::string Reader::Text(std::string_view raw) const
{
  if (raw.size() > m_limits.textBytes)
    raw = raw.substr(0, m_limits.textBytes);
  std::string text;
  if (m_utf8) {
    text = codepage::Utf8ToCp1251(raw);
  } else if (m_latin) {
    for (unsigned char c : raw)
      text += c < 0x80 ? static_cast<char>(c) : c >= 0xA0 ? codepage::Cp1251FromUnicode(c) : '?';
  } else {
    text = std::string(raw);
  }
  std::string out;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\\' && k + 7 <= text.size() && text.compare(k, 3, "\\U+") == 0) {
      unsigned code = 0;
      auto [end, ec] = std::from_chars(text.data() + k + 3, text.data() + k + 7, code, 16);
      if (ec == std::errc() && end == text.data() + k + 7) {
        out += codepage::Cp1251FromUnicode(code);
        k += 6;
        continue;
      }
    }
    if (text[k] == '%' && k + 2 < text.size() && text[k + 1] == '%') {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[k + 2])));
      if (c == 'd' || c == 'p' || c == 'c' || c == 'u' || c == 'o') {
        if (c == 'd')
          out += codepage::Cp1251FromUnicode(U'\u00B0');
        else if (c == 'p')
          out += codepage::Cp1251FromUnicode(U'\u00B1');
        else if (c == 'c')
          out += codepage::Cp1251FromUnicode(U'\u00D8');
        k += 2;
        continue;
      }
    }
    out += text[k];
  }
  return out;
}

Figure& Reader::NewFigure(FigureKind kind, int layer, int colour, size_t at)
{
  if (m_drawing.figures.size() >= m_limits.figures)
    Fail(ReadError::TooLarge, at);
  Figure& figure = m_drawing.figures.emplace_back();
  figure.kind = kind;
  figure.layer = layer;
  figure.colour = colour;
  return figure;
}

void Reader::AddPoint(Figure& figure, const Point& p, size_t at)
{
  if (++m_points > m_limits.points)
    Fail(ReadError::TooLarge, at);
  // Scaled insertions can carry a sane number out of range.
  for (double v : {p.x, p.y, p.z})
    if (!std::isfinite(v) || std::fabs(v) > m_limits.coordinate)
      Fail(ReadError::AbsurdCoordinate, at);
  figure.points.push_back(p);
}

void Reader::AddArc(Figure& figure, const Transform& transform, const Point& centre, double radius, double from,
                    double sweep, size_t at)
{
  const int steps = std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / kCurveStep)));
  for (int s = 0; s <= steps; ++s) {
    const double a = from + sweep * s / steps;
    AddPoint(figure, transform.Apply({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a), centre.z}),
             at);
  }
}

void Reader::Expand(const std::vector<RawEntity>& entities, const Transform& transform, int blockLayer,
                    int blockColour, int depth)
{
  for (const RawEntity& entity : entities)
    ExpandOne(entity, transform, blockLayer, blockColour, depth);
}

void Reader::ExpandOne(const RawEntity& e, const Transform& transform, int blockLayer, int blockColour, int depth)
{
  if (++m_visited > m_limits.expandedEntities)
    Fail(ReadError::TooLarge, e.begin);
  // The figure's fields in the file's order; points collected per code so their order in the file is free.
  std::string_view layerName = "0";
  int colour = kByLayer;
  double p[4][3] = {};
  double num[8] = {};  // codes 40..47
  bool has41 = false, has42 = false, has43 = false;
  double angles[2] = {0, 0};  // 50, 51
  int flags = 0;
  int alignment = 0;
  std::string text, chunks;
  std::string_view blockName;
  struct Vertex {
    double x, y, bulge;
  };
  std::vector<Vertex> lw;
  double elevation = 0;
  for (size_t k = e.begin; k < e.end; ++k) {
    const int code = m_pairs[k].code;
    if (code == 8)
      layerName = Trim(m_pairs[k].value);
    else if (code == 62)
      colour = Integer(k);
    else if (code == 2)
      blockName = Trim(m_pairs[k].value);
    else if (code == 1)
      text = std::string(m_pairs[k].value);
    else if (code == 3)
      chunks += m_pairs[k].value;
    else if (code == 70)
      flags = Integer(k);
    else if (code == 72 || code == 73)
      alignment |= Integer(k);
    else if (code == 38)
      elevation = Coordinate(k);
    else if (e.type == "LWPOLYLINE" && code == 10) {
      lw.push_back({Coordinate(k), 0, 0});
    } else if (e.type == "LWPOLYLINE" && code == 20 && !lw.empty()) {
      lw.back().y = Coordinate(k);
    } else if (e.type == "LWPOLYLINE" && code == 42 && !lw.empty()) {
      lw.back().bulge = Number(k);
    } else if (code >= 10 && code <= 13) {
      p[code - 10][0] = Coordinate(k);
    } else if (code >= 20 && code <= 23) {
      p[code - 20][1] = Coordinate(k);
    } else if (code >= 30 && code <= 33) {
      p[code - 30][2] = Coordinate(k);
    } else if (code >= 40 && code <= 47) {
      num[code - 40] = Number(k);
      if (std::fabs(num[code - 40]) > m_limits.coordinate)
        Fail(ReadError::AbsurdCoordinate, k);
      has41 |= code == 41;
      has42 |= code == 42;
      has43 |= code == 43;
    } else if (code == 50 || code == 51) {
      angles[code - 50] = Number(k);
      if (std::fabs(angles[code - 50]) > 1e6)
        Fail(ReadError::AbsurdCoordinate, k);
    }
  }
  const int layer = (layerName == "0" && blockLayer >= 0) ? blockLayer : LayerIndex(layerName);
  if (colour == 0)
    colour = blockColour;
  else if (colour < 0 || colour > 256)
    colour = kByLayer;
  const Point p0{p[0][0], p[0][1], p[0][2]};
  const Point p1{p[1][0], p[1][1], p[1][2]};
  const size_t at = e.begin - 1;
  auto snap = [&](const Point& q) { AddSnap(transform.Apply(q)); };

  if (e.type == "LINE") {
    Figure& f = NewFigure(FigureKind::Polyline, layer, colour, at);
    AddPoint(f, transform.Apply(p0), at);
    AddPoint(f, transform.Apply(p1), at);
    snap(p0);
    snap(p1);
  } else if (e.type == "LWPOLYLINE" || e.type == "POLYLINE") {
    std::vector<Vertex> vertices = lw;
    std::vector<double> heights;
    if (e.type == "POLYLINE") {
      // Polyface records of faces (flag 128 without 64) carry no position.
      for (const auto& [begin, end] : e.vertices) {
        Vertex v{0, 0, 0};
        double z = 0;
        int vflags = 0;
        for (size_t k = begin; k < end; ++k) {
          const int code = m_pairs[k].code;
          if (code == 10)
            v.x = Coordinate(k);
          else if (code == 20)
            v.y = Coordinate(k);
          else if (code == 30)
            z = Coordinate(k);
          else if (code == 42)
            v.bulge = Number(k);
          else if (code == 70)
            vflags = Integer(k);
        }
        if ((vflags & 128) && !(vflags & 64))
          continue;
        vertices.push_back(v);
        heights.push_back(z);
      }
    }
    const bool closed = flags & 1;
    Figure& f = NewFigure(FigureKind::Polyline, layer, colour, at);
    f.closed = closed;
    const size_t n = vertices.size();
    for (size_t v = 0; v < n; ++v) {
      const Point a{vertices[v].x, vertices[v].y, heights.empty() ? elevation : heights[v]};
      AddPoint(f, transform.Apply(a), at);
      snap(a);
      const bool last = v + 1 == n;
      if (last && !closed)
        break;
      const Vertex& next = vertices[last ? 0 : v + 1];
      const double bulge = vertices[v].bulge;
      if (std::fabs(bulge) < 1e-9 || std::fabs(bulge) > 1e6)
        continue;
      // The arc of a bulge: included angle 4 atan(bulge), counter-clockwise when positive.
      const double theta = 4 * std::atan(bulge);
      const double dx = next.x - a.x, dy = next.y - a.y;
      const double chord = std::hypot(dx, dy);
      if (chord == 0)
        continue;
      const double radius = chord / (2 * std::sin(theta / 2));
      const double offset = radius * std::cos(theta / 2);
      const Point centre{(a.x + next.x) / 2 - dy / chord * offset, (a.y + next.y) / 2 + dx / chord * offset, a.z};
      const double from = std::atan2(a.y - centre.y, a.x - centre.x);
      const int steps = std::max(2, static_cast<int>(std::ceil(std::fabs(theta) / kCurveStep)));
      for (int s = 1; s < steps; ++s) {
        const double t = from + theta * s / steps;
        AddPoint(f, transform.Apply({centre.x + std::fabs(radius) * std::cos(t),
                                     centre.y + std::fabs(radius) * std::sin(t), a.z}),
                 at);
      }
    }
  } else if (e.type == "CIRCLE" || e.type == "ARC") {
    const double radius = std::fabs(num[0]);
    Figure& f = NewFigure(FigureKind::Polyline, layer, colour, at);
    snap(p0);
    if (e.type == "CIRCLE") {
      f.closed = true;
      AddArc(f, transform, p0, radius, 0, 2 * kPi, at);
      f.points.pop_back();
      --m_points;
    } else {
      const double from = angles[0] * kPi / 180;
      double sweep = (angles[1] - angles[0]) * kPi / 180;
      sweep = std::fmod(sweep, 2 * kPi);
      if (sweep <= 0)
        sweep += 2 * kPi;
      AddArc(f, transform, p0, radius, from, sweep, at);
      snap({p0.x + radius * std::cos(from), p0.y + radius * std::sin(from), p0.z});
      snap({p0.x + radius * std::cos(from + sweep), p0.y + radius * std::sin(from + sweep), p0.z});
    }
  } else if (e.type == "ELLIPSE") {
    // Major axis p1 from the centre, minor axis its left normal times the ratio (code 40).
    const double ratio = num[0];
    double from = num[1];
    double to = has42 ? num[2] : 2 * kPi;
    if (std::fabs(from) > 1e3 || std::fabs(to) > 1e3)
      Fail(ReadError::AbsurdCoordinate, at);
    if (to <= from)
      to += 2 * kPi;
    const int steps = std::max(2, static_cast<int>(std::ceil((to - from) / kCurveStep)));
    Figure& f = NewFigure(FigureKind::Polyline, layer, colour, at);
    f.closed = to - from >= 2 * kPi - 1e-9;
    for (int s = 0; s < steps + (f.closed ? 0 : 1); ++s) {
      const double t = from + (to - from) * s / steps;
      AddPoint(f,
               transform.Apply({p0.x + p1.x * std::cos(t) - ratio * p1.y * std::sin(t),
                                p0.y + p1.y * std::cos(t) + ratio * p1.x * std::sin(t), p0.z + p1.z * std::cos(t)}),
               at);
    }
    snap(p0);
  } else if (e.type == "TEXT" || e.type == "MTEXT") {
    Figure& f = NewFigure(FigureKind::Text, layer, colour, at);
    // A TEXT aligned other than left on its baseline stands at its second point.
    const Point position = e.type == "TEXT" && alignment != 0 ? p1 : p0;
    AddPoint(f, transform.Apply(position), at);
    snap(position);
    f.height = std::fabs(num[0]) * transform.PlanScale();
    double rotation = angles[0];
    if (e.type == "MTEXT" && (p1.x != 0 || p1.y != 0))
      rotation = std::atan2(p1.y, p1.x) * 180 / kPi;
    f.rotation = rotation + transform.PlanRotation();
    f.text = e.type == "MTEXT" ? StripMTextFormat(Text(chunks + text)) : Text(text);
  } else if (e.type == "SOLID" || e.type == "3DFACE" || e.type == "TRACE") {
    Figure& f = NewFigure(FigureKind::Polyline, layer, colour, at);
    f.closed = true;
    // A SOLID's third and fourth corners are stored crosswise.
    const int order[4] = {0, 1, e.type == "3DFACE" ? 2 : 3, e.type == "3DFACE" ? 3 : 2};
    for (int c : order) {
      const Point q{p[c][0], p[c][1], p[c][2]};
      AddPoint(f, transform.Apply(q), at);
      snap(q);
    }
  } else if (e.type == "POINT") {
    Figure& f = NewFigure(FigureKind::Point, layer, colour, at);
    AddPoint(f, transform.Apply(p0), at);
    snap(p0);
  } else if (e.type == "INSERT") {
    const auto found = m_blocks.find(blockName);
    if (found == m_blocks.end())
      return;
    if (std::find(m_insertStack.begin(), m_insertStack.end(), blockName) != m_insertStack.end())
      Fail(ReadError::BlockCycle, at);
    if (depth >= m_limits.insertDepth)
      Fail(ReadError::TooLarge, at);
    const double sx = has41 ? num[1] : 1, sy = has42 ? num[2] : 1, sz = has43 ? num[3] : 1;
    const double r = angles[0] * kPi / 180;
    const Block& block = found->second;
    // Insertion point, then rotation, then scale, about the block's base point.
    Transform local;
    const double c = std::cos(r), s = std::sin(r);
    local.m[0][0] = c * sx;
    local.m[0][1] = -s * sy;
    local.m[1][0] = s * sx;
    local.m[1][1] = c * sy;
    local.m[2][2] = sz;
    local.t[0] = p0.x - (local.m[0][0] * block.base.x + local.m[0][1] * block.base.y);
    local.t[1] = p0.y - (local.m[1][0] * block.base.x + local.m[1][1] * block.base.y);
    local.t[2] = p0.z - sz * block.base.z;
    m_insertStack.push_back(blockName);
    Expand(block.entities, transform.Then(local), layer, colour, depth + 1);
    m_insertStack.pop_back();
  }
}

void Reader::Read()
{
  bool sawSection = false;
  size_t i = 0;
  while (i < m_pairs.size()) {
    if (Is(i, 0, "EOF"))
      break;
    if (!Is(i, 0, "SECTION") || i + 1 >= m_pairs.size() || m_pairs[i + 1].code != 2) {
      ++i;
      continue;
    }
    sawSection = true;
    const std::string_view name = Trim(m_pairs[i + 1].value);
    i += 2;
    if (name == "HEADER") {
      ReadHeader(&i);
    } else if (name == "TABLES") {
      ReadTables(&i);
    } else if (name == "BLOCKS") {
      ReadBlocks(&i);
    } else if (name == "ENTITIES") {
      std::vector<RawEntity> entities = ReadEntities(&i, "ENDSEC");
      m_entities.insert(m_entities.end(), std::make_move_iterator(entities.begin()),
                        std::make_move_iterator(entities.end()));
    }
    while (i < m_pairs.size() && !Is(i, 0, "ENDSEC") && !Is(i, 0, "EOF"))
      ++i;
    if (i < m_pairs.size() && Is(i, 0, "ENDSEC"))
      ++i;
  }
  if (!sawSection)
    Fail(ReadError::NotDxf, SIZE_MAX);
  Transform units;
  for (int k = 0; k < 3; ++k)
    units.m[k][k] = m_unitScale;
  Expand(m_entities, units, -1, kByLayer, 0);
}

}  // namespace

Point Drawing::Min() const
{
  Point m{HUGE_VAL, HUGE_VAL, HUGE_VAL};
  for (const Figure& f : figures)
    for (const Point& p : f.points)
      m = {std::min(m.x, p.x), std::min(m.y, p.y), std::min(m.z, p.z)};
  return m;
}

Point Drawing::Max() const
{
  Point m{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (const Figure& f : figures)
    for (const Point& p : f.points)
      m = {std::max(m.x, p.x), std::max(m.y, p.y), std::max(m.z, p.z)};
  return m;
}

int Drawing::FindLayer(const std::string& name) const
{
  for (size_t i = 0; i < layers.size(); ++i)
    if (layers[i].name == name)
      return static_cast<int>(i);
  return -1;
}

int Drawing::ColourOf(const Figure& figure) const
{
  if (figure.colour >= 1 && figure.colour <= 255)
    return figure.colour;
  if (figure.layer >= 0 && static_cast<size_t>(figure.layer) < layers.size())
    return layers[figure.layer].colour;
  return 7;
}

std::string StripMTextFormat(std::string_view text)
{
  std::string out;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (c == '{' || c == '}')
      continue;
    if (c != '\\' || k + 1 >= text.size()) {
      out += c;
      continue;
    }
    const char code = text[++k];
    auto skipToSemicolon = [&] {
      const size_t end = text.find(';', k);
      k = end == std::string_view::npos ? text.size() : end;
    };
    switch (code) {
    case 'P':
    case 'N':
      out += '\n';
      break;
    case '~':
      out += ' ';
      break;
    case '\\':
    case '{':
    case '}':
      out += code;
      break;
    case 'S': {
      const size_t end = text.find(';', k);
      const std::string_view stack = text.substr(k + 1, (end == std::string_view::npos ? text.size() : end) - k - 1);
      for (char s : stack)
        out += (s == '^' || s == '#') ? '/' : s;
      k = end == std::string_view::npos ? text.size() : end;
      break;
    }
    case 'f':
    case 'F':
    case 'H':
    case 'h':
    case 'C':
    case 'c':
    case 'T':
    case 'Q':
    case 'W':
    case 'A':
    case 'p':
      skipToSemicolon();
      break;
    default:
      // \L \l \O \o \K \k and unknown codes: formatting only.
      break;
    }
  }
  return out;
}

std::string ReadResult::Message() const
{
  switch (error) {
  case ReadError::None: return "";
  case ReadError::CannotOpen: return "Не удается открыть файл чертежа.";
  case ReadError::Binary:
    return "Двоичный формат DXF не поддерживается. Сохраните чертеж в текстовом формате DXF.";
  case ReadError::NotDxf: return "Файл не является чертежом DXF.";
  case ReadError::Malformed: return "Чертеж DXF поврежден (строка " + std::to_string(line) + ").";
  case ReadError::TooLarge: return "Чертеж DXF слишком велик для фоновой подосновы.";
  case ReadError::BlockCycle:
    return "Блок чертежа DXF вставляет сам себя (строка " + std::to_string(line) + "). Чертеж не загружен.";
  case ReadError::AbsurdCoordinate:
    return "Чертеж DXF содержит недопустимые координаты (строка " + std::to_string(line) + ").";
  }
  return "";
}

ReadResult ReadDxf(std::string_view bytes, Drawing& drawing, const ReadLimits& limits)
{
  drawing = Drawing();
  if (bytes.size() > limits.fileBytes)
    return {ReadError::TooLarge, 0};
  if (bytes.substr(0, kBinarySentinel.size()) == kBinarySentinel)
    return {ReadError::Binary, 0};
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
    bytes.remove_prefix(3);
  size_t badPair = SIZE_MAX;
  const std::vector<Pair> pairs = SplitPairs(bytes, &badPair);
  auto lineOf = [](size_t pair) { return pair == SIZE_MAX ? 0 : static_cast<int>(pair * 2 + 1); };
  if (badPair != SIZE_MAX) {
    // Junk after the end mark is no concern of ours.
    const bool ended = std::any_of(pairs.begin(), pairs.end(),
                                   [](const Pair& p) { return p.code == 0 && Trim(p.value) == "EOF"; });
    if (!ended)
      return {pairs.empty() ? ReadError::NotDxf : ReadError::Malformed, lineOf(badPair)};
  }
  try {
    Reader(pairs, drawing, limits).Read();
  } catch (const Failure& failure) {
    drawing = Drawing();
    return {failure.error, lineOf(failure.pair)};
  }
  return {};
}

ReadResult ReadDxfFile(const std::string& path, Drawing& drawing, const ReadLimits& limits)
{
  drawing = Drawing();
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return {ReadError::CannotOpen, 0};
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 0)
    return {ReadError::CannotOpen, 0};
  if (static_cast<unsigned long long>(size) > limits.fileBytes)
    return {ReadError::TooLarge, 0};
  file.seekg(0);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!file.read(bytes.data(), size))
    return {ReadError::CannotOpen, 0};
  return ReadDxf(bytes, drawing, limits);
}

}  // namespace grafocore::dxf
