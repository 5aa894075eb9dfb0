#include "platform/gdi/region.h"

#include "platform/gdi/wingdi.h"

#include <algorithm>
#include <map>

namespace gdi {

namespace {

void Normalise(std::vector<Span>& spans)
{
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.x0 < b.x0; });
  std::vector<Span> out;
  for (const Span& s : spans) {
    if (s.x1 <= s.x0) {
      continue;
    }
    if (!out.empty() && s.x0 <= out.back().x1) {
      out.back().x1 = std::max(out.back().x1, s.x1);
    } else {
      out.push_back(s);
    }
  }
  spans = std::move(out);
}

bool Apply(int mode, bool a, bool b)
{
  switch (mode) {
  case RGN_AND:
    return a && b;
  case RGN_OR:
    return a || b;
  case RGN_XOR:
    return a != b;
  case RGN_DIFF:
    return a && !b;
  default:
    return a;
  }
}

// Both inputs sorted and disjoint.
std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int mode)
{
  std::vector<int> xs;
  xs.reserve((a.size() + b.size()) * 2);
  for (const Span& s : a) {
    xs.push_back(s.x0);
    xs.push_back(s.x1);
  }
  for (const Span& s : b) {
    xs.push_back(s.x0);
    xs.push_back(s.x1);
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::vector<Span> out;
  std::size_t ia = 0;
  std::size_t ib = 0;
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    const int x = xs[i];
    while (ia < a.size() && a[ia].x1 <= x) {
      ++ia;
    }
    while (ib < b.size() && b[ib].x1 <= x) {
      ++ib;
    }
    const bool inA = ia < a.size() && a[ia].x0 <= x;
    const bool inB = ib < b.size() && b[ib].x0 <= x;
    if (Apply(mode, inA, inB)) {
      if (!out.empty() && out.back().x1 == x) {
        out.back().x1 = xs[i + 1];
      } else {
        out.push_back({x, xs[i + 1]});
      }
    }
  }
  return out;
}

}  // namespace

Region::Region(const RECT& rect)
{
  if (!rect.IsEmpty()) {
    bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
  }
}

void Region::Append(int top, int bottom, std::vector<Span> spans)
{
  if (spans.empty() || bottom <= top) {
    return;
  }
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back({top, bottom, std::move(spans)});
}

Region Region::FromRows(int top, std::vector<std::vector<Span>> rows)
{
  Region r;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    Normalise(rows[i]);
    const int y = top + static_cast<int>(i);
    r.Append(y, y + 1, std::move(rows[i]));
  }
  return r;
}

int Region::Kind() const
{
  if (bands_.empty()) {
    return NULLREGION;
  }
  return bands_.size() == 1 && bands_[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::Bounds() const
{
  if (bands_.empty()) {
    return {};
  }
  RECT r{bands_.front().spans.front().x0, bands_.front().top, bands_.front().spans.back().x1, bands_.back().bottom};
  for (const Band& b : bands_) {
    r.left = std::min(r.left, b.spans.front().x0);
    r.right = std::max(r.right, b.spans.back().x1);
  }
  return r;
}

const std::vector<Span>* Region::RowSpans(int y) const
{
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y, [](int v, const Band& b) { return v < b.bottom; });
  if (it == bands_.end() || it->top > y) {
    return nullptr;
  }
  return &it->spans;
}

bool Region::Contains(int x, int y) const
{
  const std::vector<Span>* spans = RowSpans(y);
  if (spans == nullptr) {
    return false;
  }
  return std::any_of(spans->begin(), spans->end(), [x](const Span& s) { return x >= s.x0 && x < s.x1; });
}

bool Region::Intersects(const RECT& rect) const
{
  return !Intersect(rect).IsEmpty();
}

std::vector<RECT> Region::Rects() const
{
  std::vector<RECT> out;
  ForEach([&](int y0, int y1, const Span& s) { out.push_back({s.x0, y0, s.x1, y1}); });
  return out;
}

Region Region::Offset(int dx, int dy) const
{
  Region r = *this;
  for (Band& b : r.bands_) {
    b.top += dy;
    b.bottom += dy;
    for (Span& s : b.spans) {
      s.x0 += dx;
      s.x1 += dx;
    }
  }
  return r;
}

Region Region::Intersect(const RECT& rect) const
{
  Region r;
  for (const Band& b : bands_) {
    const int top = std::max(b.top, rect.top);
    const int bottom = std::min(b.bottom, rect.bottom);
    if (bottom <= top) {
      continue;
    }
    std::vector<Span> spans;
    for (const Span& s : b.spans) {
      const int x0 = std::max(s.x0, rect.left);
      const int x1 = std::min(s.x1, rect.right);
      if (x1 > x0) {
        spans.push_back({x0, x1});
      }
    }
    r.Append(top, bottom, std::move(spans));
  }
  return r;
}

Region Region::Combine(const Region& a, const Region& b, int mode)
{
  if (mode == RGN_AND && (a.IsEmpty() || b.IsEmpty())) {
    return {};
  }
  if (b.IsEmpty() && mode != RGN_AND) {
    return a;
  }
  if (a.IsEmpty() && (mode == RGN_OR || mode == RGN_XOR)) {
    return b;
  }
  if (mode == RGN_AND && b.bands_.size() == 1 && b.bands_[0].spans.size() == 1) {
    return a.Intersect(b.Bounds());
  }
  std::vector<int> ys;
  for (const Band& band : a.bands_) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  for (const Band& band : b.bands_) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  static const std::vector<Span> kNone;
  Region r;
  std::size_t ia = 0;
  std::size_t ib = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const int y = ys[i];
    while (ia < a.bands_.size() && a.bands_[ia].bottom <= y) {
      ++ia;
    }
    while (ib < b.bands_.size() && b.bands_[ib].bottom <= y) {
      ++ib;
    }
    const std::vector<Span>& sa = ia < a.bands_.size() && a.bands_[ia].top <= y ? a.bands_[ia].spans : kNone;
    const std::vector<Span>& sb = ib < b.bands_.size() && b.bands_[ib].top <= y ? b.bands_[ib].spans : kNone;
    r.Append(y, ys[i + 1], CombineSpans(sa, sb, mode));
  }
  return r;
}

}  // namespace gdi
