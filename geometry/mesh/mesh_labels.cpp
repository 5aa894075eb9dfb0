#include "geometry/mesh/mesh_labels.h"

#include <cmath>

namespace {

double Distance(double ax, double ay, double az, double bx, double by, double bz)
{
  return std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay) + (bz - az) * (bz - az));
}

bool IsSpecial(const CMeshIsoSegment& s) { return (s.flags & MeshIso::kSegmentSpecial) != 0; }

bool HasDirection(const _VECTOR3D* n) { return n != nullptr && (n->x != 0 || n->y != 0 || n->z != 0); }

}  // namespace

const char* LabelFormat(double levelValue) { return levelValue > 1 ? "%.0f" : "%.1f"; }

std::unique_ptr<CVectorString3D> CMeshLabelBuilder::NewLabel() const
{
  auto label = std::make_unique<CVectorString3D>(LabelFormat(m_levelValue), m_levelValue);
  label->SetHeight(m_height);
  return label;
}

void CMeshLabelBuilder::BuildLabels(CMeshIsolineSet& set)
{
  for (auto& level : set.levels) {
    for (auto& curve : level->curves) {
      m_runs.clear();
      BuildRuns(*curve);
      PlaceCurveLabels(*curve);
    }
  }
  m_runs.clear();
}

void CMeshLabelBuilder::BuildRuns(CMeshIsoCurve& curve)
{
  m_runs.clear();
  const auto& s = curve.segments;
  const int m = static_cast<int>(s.size());
  CMeshLabelRun* run = nullptr;
  for (int j = 0; j < m; ++j) {
    if (IsSpecial(s[j])) {
      run = nullptr;
      continue;
    }
    if (run == nullptr) {
      m_runs.push_back(CMeshLabelRun{&curve, s[j].length, j, j, &s[j].a.normal, 0});
      run = &m_runs.back();
      continue;
    }
    run->last = j;
    run->length += s[j].length;
  }
  if (!m_runs.empty()) {
    CMeshLabelRun& final = m_runs.back();
    if (final.normal != nullptr && final.first == 0 && final.last == m - 1) {
      final.closed = 1;
    }
  }
}

void CMeshLabelBuilder::PlaceCurveLabels(CMeshIsoCurve& curve)
{
  m_levelValue = curve.level != nullptr ? curve.level->value : 0;
  const double width = NewLabel()->GetWidthOfText();
  for (const CMeshLabelRun& run : m_runs) {
    PlaceRunLabels(run, width);
  }
}

void CMeshLabelBuilder::PlaceRunLabels(const CMeshLabelRun& run, double w)
{
  const double L = run.length;
  const auto& segments = run.curve->segments;
  if (L <= 1.5 * w || !HasDirection(run.normal) || (run.closed != 0 && 8 * w > L) || segments.empty()) {
    return;
  }
  // Longer lines get more labels, but fewer than in proportion: one per 5 ln L + w of line.
  const double spacing = 5 * std::log(L) + w;
  const double ratio = spacing > 0 ? L / spacing : 0;
  const long count = ratio < 1e6 ? static_cast<long>(ratio) : 1000000;
  std::vector<double> positions;
  if (count < 2) {
    positions.push_back(L / 2);
  } else if (run.closed != 0) {
    for (long k = 0; k < count; ++k) {
      positions.push_back(k * L / count);
    }
  } else {
    for (long k = 1; k <= count; ++k) {
      positions.push_back(k * L / (count + 1));
    }
  }
  for (double position : positions) {
    int found = -1;
    double running = 0;
    for (int j = run.first; j <= run.last && j < static_cast<int>(segments.size()); ++j) {
      running += segments[j].length;
      if (running >= position) {
        found = j;
        break;
      }
    }
    if (found < 0) {
      return;
    }
    PlaceLabel(run, found);
  }
}

void CMeshLabelBuilder::PlaceLabel(const CMeshLabelRun& run, int index)
{
  if (!HasDirection(run.normal)) {
    return;
  }
  auto& segments = run.curve->segments;
  const int m = static_cast<int>(segments.size());
  CMeshIsoSegment& s = segments[index];
  if (run.curve->level != nullptr) {
    m_levelValue = run.curve->level->value;
  }
  auto label = NewLabel();
  const double w = label->GetWidthOfText();
  const double h = label->GetHeightOfText();

  // The gap: this segment, and its neighbours as far as the text reaches beyond it.
  const double gap = w + w;
  s.flags &= ~MeshIso::kSegmentVisible;
  const double mid[3] = {(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2, (s.a.z + s.b.z) / 2};
  double centre[3] = {mid[0], mid[1], mid[2]};
  if (!(gap < s.length)) {
    const double half = gap / 2;
    double start[3] = {s.a.x, s.a.y, s.a.z};
    double end[3] = {s.b.x, s.b.y, s.b.z};
    const double toA = Distance(mid[0], mid[1], mid[2], s.a.x, s.a.y, s.a.z);
    const double toB = Distance(mid[0], mid[1], mid[2], s.b.x, s.b.y, s.b.z);
    if (toA < half) {
      double covered = 0;
      int j = index;
      for (int n = 1; n < m && covered < half - toA; ++n) {
        j = j == 0 ? m - 1 : j - 1;
        segments[j].flags &= ~MeshIso::kSegmentVisible;
        covered += segments[j].length;
        start[0] = segments[j].a.x;
        start[1] = segments[j].a.y;
        start[2] = segments[j].a.z;
      }
    }
    if (half > toB) {
      double covered = 0;
      int j = index;
      for (int n = 1; n < m && covered < half - toB; ++n) {
        j = j == m - 1 ? 0 : j + 1;
        segments[j].flags &= ~MeshIso::kSegmentVisible;
        covered += segments[j].length;
        end[0] = segments[j].b.x;
        end[1] = segments[j].b.y;
        end[2] = segments[j].b.z;
      }
    }
    for (int i = 0; i < 3; ++i) {
      centre[i] = (start[i] + end[i]) / 2;
    }
  }

  label->Translate(-w / 2, -h / 2, 0);

  // The text runs along the segment towards larger x, so that it reads from left to right.
  double d[3] = {s.a.x - s.b.x, s.a.y - s.b.y, s.a.z - s.b.z};
  NormalizeVector(d);
  if (s.b.x - s.a.x > 0) {
    for (double& c : d) {
      c = -c;
    }
  }
  const double n[3] = {run.normal->x, run.normal->y, run.normal->z};
  const double e[3] = {n[1] * d[2] - n[2] * d[1], n[2] * d[0] - n[0] * d[2], n[0] * d[1] - n[1] * d[0]};
  CMatrix3D rotation(4, 4);
  CMatrix3D move(4, 4);
  for (int row = 0; row < 3; ++row) {
    rotation.At(row, 0) = d[row];
    rotation.At(row, 1) = e[row];
    rotation.At(row, 2) = n[row];
    move.At(row, row) = 1;
    move.At(row, 3) = centre[row];
  }
  rotation.At(3, 3) = 1;
  move.At(3, 3) = 1;
  label->Transform(rotation);
  label->Transform(move);

  auto& labels = run.curve->labels;
  labels.push_back(std::move(label));
  for (auto& each : labels) {
    each->m_r = m_r;
    each->m_g = m_g;
    each->m_b = m_b;
  }
}
