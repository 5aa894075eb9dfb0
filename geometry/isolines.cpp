#include "geometry/isolines.h"

#include "geometry/colour_mapping.h"
#include "geometry/gl_context.h"
#include "geometry/result_grid.h"
#include "platform/mfc-core/exceptions.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kIsolineHeight = 0.005;  // above the area's plane, below the labels
constexpr double kLabelHeightAbovePlane = 0.01;

// CONREC's case table, indexed by the signs (+1) of the triangle's first vertex, centre and third vertex.
constexpr int kCaseTable[3][3][3] = {{{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
                                     {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
                                     {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};

double SegmentLength(const _ISO_SEGMENT& s)
{
  const double dx = s.second[0] - s.first[0];
  const double dy = s.second[1] - s.first[1];
  const double dz = s.second[2] - s.first[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double Distance(const double* a, const double* b)
{
  const double dx = b[0] - a[0];
  const double dy = b[1] - a[1];
  const double dz = b[2] - a[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool SameXY(const double* a, const double* b) { return a[0] == b[0] && a[1] == b[1]; }

void Reverse(_ISO_SEGMENT& s)
{
  for (int k = 0; k < 3; ++k) {
    std::swap(s.first[k], s.second[k]);
  }
}

}  // namespace

double& IsolineLabelHeight()
{
  static double height = 0.3;
  return height;
}

double& IsolineSavedValue()
{
  static double value = 0;
  return value;
}

void CIsoLine::PlaceLabel()
{
  auto label = std::make_unique<CVectorString3D>(m_level >= 10 ? "%.0f" : "%.1f", m_level);
  const double h = IsolineLabelHeight();
  if (label->GetHeight() != h) {
    label->SetHeight(h);
  }
  label->m_r = m_colour[0];
  label->m_g = m_colour[1];
  label->m_b = m_colour[2];
  const double w = label->GetWidthOfText();
  const double t = label->GetHeightOfText();
  const double required = w + w / 100 * 10;

  // The start: the first candidate longer than the label needs, else the longest candidate.
  int start = -1;
  for (std::size_t k = 0; k < m_segments.size(); ++k) {
    if ((m_segments[k].labelCandidate & 1) != 0 && SegmentLength(m_segments[k]) > required) {
      start = static_cast<int>(k);
      break;
    }
  }
  if (start < 0) {
    double longest = 0;
    for (std::size_t k = 0; k < m_segments.size(); ++k) {
      const double length = SegmentLength(m_segments[k]);
      if ((m_segments[k].labelCandidate & 1) != 0 && length > longest) {
        longest = length;
        start = static_cast<int>(k);
      }
    }
  }
  if (start < 0) {
    return;
  }

  std::vector<int> chain{start};
  std::vector<bool> inChain(m_segments.size(), false);
  inChain[static_cast<std::size_t>(start)] = true;
  auto chainLength = [&] { return Distance(m_segments[chain.front()].first, m_segments[chain.back()].second); };

  bool atEnd = true;
  while (chainLength() < required) {
    int found = -1;
    bool reverse = false;
    if (atEnd) {
      const double* end = m_segments[chain.back()].second;
      for (std::size_t k = 0; k < m_segments.size(); ++k) {
        if (inChain[k]) continue;
        if (SameXY(m_segments[k].first, end)) {
          found = static_cast<int>(k), reverse = false;
        } else if (SameXY(m_segments[k].second, end)) {
          found = static_cast<int>(k), reverse = true;
        }
      }
      if (found < 0) {
        atEnd = false;
        continue;
      }
    } else {
      const double* front = m_segments[chain.front()].first;
      for (std::size_t k = 0; k < m_segments.size(); ++k) {
        if (inChain[k]) continue;
        if (SameXY(m_segments[k].second, front)) {
          found = static_cast<int>(k), reverse = false;
        } else if (SameXY(m_segments[k].first, front)) {
          found = static_cast<int>(k), reverse = true;
        }
      }
      if (found < 0) {
        break;
      }
    }
    if (reverse) {
      Reverse(m_segments[static_cast<std::size_t>(found)]);
    }
    inChain[static_cast<std::size_t>(found)] = true;
    if (atEnd) {
      chain.push_back(found);
    } else {
      chain.insert(chain.begin(), found);
    }
  }

  const double length = chainLength();
  if (length < required) {
    return;
  }
  const double* a = m_segments[chain.front()].first;
  const double* b = m_segments[chain.back()].second;
  const double* left = b[0] < a[0] ? b : a;
  const double* right = left == a ? b : a;
  const double dx = right[0] - left[0];
  const double dy = right[1] - left[1];
  const double angle = std::asin(dy / length) * 180.0 / 3.141592653589793;
  label->SetRotation(0, 0, angle);
  label->SetPosition(left[0] + dx / 2 - (w / 2) * (dx / length) + (t / 2) * (dy / length),
                     left[1] + dy / 2 - (w / 2) * (dy / length) - (dx / length) * (t / 2), kLabelHeightAbovePlane);
  m_labels.push_back(std::move(label));
  for (int k : chain) {
    m_segments[static_cast<std::size_t>(k)].shown = 0;
  }
}

// int32 flags; level; the label height; the second value; segment and label counts; the segments; the labels.
void CIsoLine::Serialize(CArchive& ar, DWORD version)
{
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_flags) << m_level << IsolineLabelHeight() << IsolineSavedValue();
    ar << static_cast<int>(m_segments.size()) << static_cast<int>(m_labels.size());
    for (const _ISO_SEGMENT& s : m_segments) {
      for (double v : s.first) ar << v;
      for (double v : s.second) ar << v;
      ar << s.reserved << s.shown << s.labelCandidate;
    }
    for (const auto& label : m_labels) {
      label->Serialize(ar, version);
    }
    return;
  }
  int flags = 0;
  int segmentCount = 0;
  int labelCount = 0;
  ar >> flags >> m_level >> IsolineLabelHeight() >> IsolineSavedValue() >> segmentCount >> labelCount;
  m_flags = static_cast<DWORD>(flags);
  if (segmentCount < 0 || labelCount < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  constexpr ULONGLONG kSegmentBytes = 60;
  ar.EnsureAvailable(static_cast<ULONGLONG>(segmentCount) * kSegmentBytes);
  m_segments.assign(static_cast<std::size_t>(segmentCount), _ISO_SEGMENT{});
  for (_ISO_SEGMENT& s : m_segments) {
    for (double& v : s.first) ar >> v;
    for (double& v : s.second) ar >> v;
    ar >> s.reserved >> s.shown >> s.labelCandidate;
  }
  m_labels.clear();
  for (int k = 0; k < labelCount; ++k) {
    auto label = std::make_unique<CVectorString3D>();
    label->Serialize(ar, version);
    m_labels.push_back(std::move(label));
  }
}

CIsoLinesContainer::~CIsoLinesContainer() { DropDisplayList(); }

void CIsoLinesContainer::DropDisplayList()
{
  if (m_displayList != -1 && HasCurrentGlContext()) {
    glDeleteLists(static_cast<GLuint>(m_displayList), 1);
  }
  m_displayList = -1;
}

void CIsoLinesContainer::Clear()
{
  m_isolines.clear();
  DropDisplayList();
}

// CONREC over every cell: the four triangles around the cell's centre, whose vertices' signs against the
// level pick a case of the table. Cells are visited once for all levels; each isoline still receives its
// segments in row order of the cells, as a level-by-level sweep would give them.
void CIsoLinesContainer::Trace(const CIsolineTrace& trace)
{
  const CResultGrid& grid = *trace.grid;
  const CLevelArray& levels = *trace.levels;
  const int rows = grid.m_rows;
  const int columns = grid.m_columns;
  const int n = static_cast<int>(levels.GetSize());
  if (rows < 2 || columns < 2 || n < 2) {
    return;
  }
  // Level 0, which every level rule puts first, gets no isoline.
  std::vector<std::unique_ptr<CIsoLine>> lines(static_cast<std::size_t>(n));
  for (int k = 1; k < n; ++k) {
    lines[static_cast<std::size_t>(k)] = std::make_unique<CIsoLine>();
    lines[static_cast<std::size_t>(k)]->m_level = levels[k];
  }
  const double lowest = levels[0];
  const double highest = levels[n - 1];
  const long long divisor =
      std::max<long long>(1, static_cast<long long>(rows - 1) * (n - 1) * (columns - 1) / 100);
  int progressCounter = 0;

  auto toArea = [&](double a, double b, double* out) {
    out[0] = a * grid.m_stepX - trace.offsetX;
    out[1] = b * grid.m_stepY - trace.offsetY;
    out[2] = kIsolineHeight;
  };

  for (int i = 0; i + 1 < rows; ++i) {
    for (int j = 0; j + 1 < columns; ++j) {
      double c[4];
      const int corners = grid.GetCellCorners(j, c, i);
      const double cmin = std::min(std::min(c[0], c[1]), std::min(c[2], c[3]));
      const double cmax = std::max(std::max(c[0], c[1]), std::max(c[2], c[3]));
      if (cmax < lowest || cmin > highest) {
        continue;
      }
      for (int k = 1; k < n; ++k) {
        const double level = levels[k];
        if (!(cmin <= level && level <= cmax)) {
          continue;
        }
        // Vertices 1..4 run (i, j), (i+1, j), (i+1, j+1), (i, j+1); vertex 0 is the centre.
        double h[5];
        double x[5];
        double y[5];
        h[1] = c[0] - level, x[1] = i, y[1] = j;
        h[2] = c[3] - level, x[2] = i + 1, y[2] = j;
        h[3] = c[2] - level, x[3] = i + 1, y[3] = j + 1;
        h[4] = c[1] - level, x[4] = i, y[4] = j + 1;
        h[0] = (h[1] + h[2] + h[3] + h[4]) / 4;
        x[0] = i + 0.5, y[0] = j + 0.5;
        int sign[5];
        for (int v = 0; v < 5; ++v) {
          sign[v] = h[v] > 0 ? 1 : h[v] < 0 ? -1 : 0;
        }
        auto crossing = [&](int p, int q, double* out) {
          out[0] = (h[q] * x[p] - h[p] * x[q]) / (h[q] - h[p]);
          out[1] = (h[q] * y[p] - h[p] * y[q]) / (h[q] - h[p]);
        };
        CIsoLine& isoline = *lines[static_cast<std::size_t>(k)];
        for (int m = 1; m <= 4; ++m) {
          const int v1 = m;
          const int v2 = 0;
          const int v3 = m == 4 ? 1 : m + 1;
          const int cas = kCaseTable[sign[v1] + 1][sign[v2] + 1][sign[v3] + 1];
          if (cas == 0) {
            continue;
          }
          double p[2];
          double q[2];
          switch (cas) {
          case 1: p[0] = x[v1], p[1] = y[v1], q[0] = x[v2], q[1] = y[v2]; break;
          case 2: p[0] = x[v2], p[1] = y[v2], q[0] = x[v3], q[1] = y[v3]; break;
          case 3: p[0] = x[v3], p[1] = y[v3], q[0] = x[v1], q[1] = y[v1]; break;
          case 4: p[0] = x[v1], p[1] = y[v1], crossing(v2, v3, q); break;
          case 5: p[0] = x[v2], p[1] = y[v2], crossing(v3, v1, q); break;
          case 6: p[0] = x[v3], p[1] = y[v3], crossing(v1, v2, q); break;
          case 7: crossing(v1, v2, p), crossing(v2, v3, q); break;
          case 8: crossing(v2, v3, p), crossing(v3, v1, q); break;
          default: crossing(v3, v1, p), crossing(v1, v2, q); break;
          }
          _ISO_SEGMENT segment;
          toArea(p[0], p[1], segment.first);
          toArea(q[0], q[1], segment.second);
          if (corners != 0 && (!trace.accept || trace.accept(segment.first, segment.second))) {
            isoline.m_segments.push_back(segment);
          }
        }
      }
    }
    // Progress by the cells and levels passed so far.
    const long long visited = static_cast<long long>(i + 1) * (columns - 1) * (n - 1);
    while (visited / divisor >= progressCounter && progressCounter <= 100) {
      if (trace.progress) {
        trace.progress(progressCounter);
      }
      ++progressCounter;
    }
  }
  for (int k = 1; k < n; ++k) {
    auto& isoline = lines[static_cast<std::size_t>(k)];
    if (!isoline->m_segments.empty()) {
      isoline->m_flags = m_flags;
      m_isolines.push_back(std::move(isoline));
    }
  }
}

void CIsoLinesContainer::SetColours(float lineR, float lineG, float lineB, float labelR, float labelG, float labelB)
{
  DropDisplayList();
  for (auto& isoline : m_isolines) {
    isoline->m_colour[0] = lineR;
    isoline->m_colour[1] = lineG;
    isoline->m_colour[2] = lineB;
    for (auto& label : isoline->m_labels) {
      label->m_r = labelR;
      label->m_g = labelG;
      label->m_b = labelB;
    }
  }
}

void CIsoLinesContainer::SetLabelHeight(double height)
{
  DropDisplayList();
  IsolineLabelHeight() = height;
  for (auto& isoline : m_isolines) {
    for (auto& label : isoline->m_labels) {
      label->SetHeight(height);
    }
  }
}

void CIsoLinesContainer::PlaceLabels(DWORD* labelRecordKind, DWORD kind)
{
  if (labelRecordKind != nullptr) {
    *labelRecordKind = kind;
  }
  DropDisplayList();
  for (auto& isoline : m_isolines) {
    isoline->m_labels.clear();
    for (_ISO_SEGMENT& s : isoline->m_segments) {
      s.shown = 1;
    }
    isoline->PlaceLabel();
  }
}

void CIsoLinesContainer::Draw()
{
  if (m_displayList == -1) {
    m_displayList = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(m_displayList), GL_COMPILE);
    for (const auto& isoline : m_isolines) {
      glDisable(GL_LIGHTING);
      glLineWidth(0.5f);
      glColor3f(isoline->m_colour[0], isoline->m_colour[1], isoline->m_colour[2]);
      glBegin(GL_LINES);
      for (const _ISO_SEGMENT& s : isoline->m_segments) {
        if (s.shown != 0) {
          glVertex3dv(s.first);
          glVertex3dv(s.second);
        }
      }
      glEnd();
      const bool mainArea = (isoline->m_flags & AreaKind::kMain) != 0;
      if (mainArea) {
        glDisable(GL_STENCIL_TEST);
      }
      for (const auto& label : isoline->m_labels) {
        label->Draw();
      }
      if (mainArea) {
        glEnable(GL_STENCIL_TEST);
      }
      glEnable(GL_LIGHTING);
    }
    glEndList();
  }
  glCallList(static_cast<GLuint>(m_displayList));
}

// The base's part; int32 isoline count; int32 flags; the isolines. Loaded isolines take the container's flags.
void CIsoLinesContainer::Serialize(CArchive& ar, DWORD version)
{
  CObject3D::Serialize(ar, version);
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_isolines.size()) << static_cast<int>(m_flags);
    for (const auto& isoline : m_isolines) {
      isoline->Serialize(ar, version);
    }
    return;
  }
  Clear();
  int count = 0;
  int flags = 0;
  ar >> count >> flags;
  m_flags = static_cast<DWORD>(flags);
  if (count < 0) {
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  }
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * 36);
  for (int k = 0; k < count; ++k) {
    auto isoline = std::make_unique<CIsoLine>();
    isoline->Serialize(ar, version);
    isoline->m_flags = m_flags;
    m_isolines.push_back(std::move(isoline));
  }
}
