#include "outside/grafocore/drawing_block.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace grafocore {

namespace {

// A whole project id carries the library's bit.
constexpr int kProjectBit = 0x1000;

class Out {
public:
  void U8(unsigned v) { m_bytes += static_cast<char>(v); }
  void U32(uint32_t v)
  {
    for (int i = 0; i < 4; ++i)
      m_bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  void I32(int v) { U32(static_cast<uint32_t>(v)); }
  void F64(double v)
  {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
      m_bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  void Str(const std::string& s)
  {
    U32(static_cast<uint32_t>(s.size()));
    m_bytes += s;
  }
  void Pt(const dxf::Point& p)
  {
    F64(p.x);
    F64(p.y);
    F64(p.z);
  }
  std::string m_bytes;
};

class In {
public:
  explicit In(std::string_view bytes) : m_bytes(bytes) {}
  bool Need(size_t n) const { return m_bytes.size() - m_pos >= n; }
  bool U8(unsigned* v)
  {
    if (!Need(1))
      return false;
    *v = static_cast<unsigned char>(m_bytes[m_pos++]);
    return true;
  }
  bool U32(uint32_t* v)
  {
    if (!Need(4))
      return false;
    *v = 0;
    for (int i = 0; i < 4; ++i)
      *v |= static_cast<uint32_t>(static_cast<unsigned char>(m_bytes[m_pos++])) << (8 * i);
    return true;
  }
  bool I32(int* v)
  {
    uint32_t u;
    if (!U32(&u))
      return false;
    *v = static_cast<int>(u);
    return true;
  }
  bool F64(double* v)
  {
    if (!Need(8))
      return false;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
      bits |= static_cast<uint64_t>(static_cast<unsigned char>(m_bytes[m_pos++])) << (8 * i);
    std::memcpy(v, &bits, 8);
    return std::isfinite(*v);
  }
  bool Str(std::string* s)
  {
    uint32_t n;
    if (!U32(&n) || !Need(n))
      return false;
    s->assign(m_bytes.substr(m_pos, n));
    m_pos += n;
    return true;
  }
  bool Pt(dxf::Point* p) { return F64(&p->x) && F64(&p->y) && F64(&p->z); }
  // A count whose items take at least itemBytes each.
  bool Count(uint32_t* n, size_t itemBytes) { return U32(n) && Need(static_cast<size_t>(*n) * itemBytes); }
  bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
  std::string_view m_bytes;
  size_t m_pos = 0;
};

bool DecodeDrawing(In& in, dxf::Drawing& d)
{
  uint32_t layers, figures, snaps;
  if (!in.Count(&layers, 9))
    return false;
  d.layers.resize(layers);
  for (dxf::Layer& layer : d.layers) {
    unsigned on;
    if (!in.Str(&layer.name) || !in.I32(&layer.colour) || !in.U8(&on))
      return false;
    layer.on = on != 0;
  }
  if (!in.Count(&figures, 34))
    return false;
  d.figures.resize(figures);
  for (dxf::Figure& f : d.figures) {
    unsigned kind, closed;
    uint32_t points;
    if (!in.U8(&kind) || kind > 2 || !in.I32(&f.layer) || f.layer < 0 || static_cast<uint32_t>(f.layer) >= layers ||
        !in.I32(&f.colour) || !in.U8(&closed) || !in.F64(&f.height) || !in.F64(&f.rotation) || !in.Str(&f.text) ||
        !in.Count(&points, 24))
      return false;
    f.kind = static_cast<dxf::FigureKind>(kind);
    f.closed = closed != 0;
    f.points.resize(points);
    for (dxf::Point& p : f.points)
      if (!in.Pt(&p))
        return false;
  }
  if (!in.Count(&snaps, 24))
    return false;
  d.snapPoints.resize(snaps);
  for (dxf::Point& p : d.snapPoints)
    if (!in.Pt(&p))
      return false;
  return true;
}

}  // namespace

dxf::Point CentreOf(const dxf::Drawing& drawing)
{
  // Measured here rather than with the drawing's own box, so reading project files needs no DXF code.
  double min[2] = {HUGE_VAL, HUGE_VAL}, max[2] = {-HUGE_VAL, -HUGE_VAL};
  for (const dxf::Figure& f : drawing.figures)
    for (const dxf::Point& p : f.points) {
      min[0] = std::min(min[0], p.x), min[1] = std::min(min[1], p.y);
      max[0] = std::max(max[0], p.x), max[1] = std::max(max[1], p.y);
    }
  if (min[0] > max[0])
    return {};
  return {(min[0] + max[0]) / 2, (min[1] + max[1]) / 2, 0};
}

std::string EncodeProjects(const Projects& projects)
{
  Out out;
  out.U32(static_cast<uint32_t>(projects.byId.size()));
  out.I32(projects.current);
  for (const auto& [id, project] : projects.byId) {
    out.I32(id);
    out.Str(project->path);
    const dxf::Drawing& d = project->drawing;
    out.U32(static_cast<uint32_t>(d.layers.size()));
    for (const dxf::Layer& layer : d.layers) {
      out.Str(layer.name);
      out.I32(layer.colour);
      out.U8(layer.on ? 1 : 0);
    }
    out.U32(static_cast<uint32_t>(d.figures.size()));
    for (const dxf::Figure& f : d.figures) {
      out.U8(static_cast<unsigned>(f.kind));
      out.I32(f.layer);
      out.I32(f.colour);
      out.U8(f.closed ? 1 : 0);
      out.F64(f.height);
      out.F64(f.rotation);
      out.Str(f.text);
      out.U32(static_cast<uint32_t>(f.points.size()));
      for (const dxf::Point& p : f.points)
        out.Pt(p);
    }
    out.U32(static_cast<uint32_t>(d.snapPoints.size()));
    for (const dxf::Point& p : d.snapPoints)
      out.Pt(p);
  }
  return out.m_bytes;
}

bool DecodeProjects(std::string_view bytes, Projects& projects)
{
  projects = Projects();
  In in(bytes);
  uint32_t count;
  Projects read;
  if (!in.Count(&count, 16) || !in.I32(&read.current))
    return false;
  for (uint32_t i = 0; i < count; ++i) {
    int id;
    auto project = std::make_shared<Project>();
    if (!in.I32(&id) || !(id & kProjectBit) || read.byId.count(id) || !in.Str(&project->path) ||
        !DecodeDrawing(in, project->drawing))
      return false;
    project->centre = CentreOf(project->drawing);
    read.byId[id] = std::move(project);
  }
  if (!in.AtEnd())
    return false;
  projects = std::move(read);
  return true;
}

}  // namespace grafocore
