// A set of pixels kept as horizontal bands of disjoint spans: the shape behind regions, clipping and every fill.
#pragma once

#include "platform/base/geometry.h"

#include <vector>

namespace gdi {

// Pixels x0 .. x1-1 of a row.
struct Span {
  int x0 = 0;
  int x1 = 0;
  friend bool operator==(const Span&, const Span&) = default;
};

class Region {
public:
  Region() = default;
  explicit Region(const RECT& rect);
  // rows[i] holds the spans of row top + i, in any order and possibly overlapping.
  static Region FromRows(int top, std::vector<std::vector<Span>> rows);

  bool IsEmpty() const { return bands_.empty(); }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Kind() const;
  RECT Bounds() const;
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rect) const;
  std::vector<RECT> Rects() const;
  // The spans of row y, sorted and disjoint; empty when the row is outside.
  const std::vector<Span>* RowSpans(int y) const;

  Region Offset(int dx, int dy) const;
  // mode is RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF.
  static Region Combine(const Region& a, const Region& b, int mode);
  Region Intersect(const Region& o) const { return Combine(*this, o, 1); }
  Region Intersect(const RECT& r) const;

  friend bool operator==(const Region&, const Region&) = default;

  // Calls fn(y0, y1, span) for every band and span: the pixels span.x0..x1-1 of rows y0..y1-1.
  template <class Fn>
  void ForEach(Fn&& fn) const
  {
    for (const Band& band : bands_) {
      for (const Span& s : band.spans) {
        fn(band.top, band.bottom, s);
      }
    }
  }

private:
  struct Band {
    int top = 0;
    int bottom = 0;
    std::vector<Span> spans;
    friend bool operator==(const Band&, const Band&) = default;
  };
  void Append(int top, int bottom, std::vector<Span> spans);
  std::vector<Band> bands_;
};

}  // namespace gdi
