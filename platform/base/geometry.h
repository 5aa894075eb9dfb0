// POINT, SIZE and RECT with the operations the program needs, defined once here.
#pragma once

#include "platform/base/wintypes.h"

#include <algorithm>

struct POINT {
  LONG x = 0;
  LONG y = 0;

  friend constexpr bool operator==(const POINT&, const POINT&) = default;
  constexpr POINT operator+(const POINT& o) const { return {x + o.x, y + o.y}; }
  constexpr POINT operator-(const POINT& o) const { return {x - o.x, y - o.y}; }
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;

  friend constexpr bool operator==(const SIZE&, const SIZE&) = default;
};

struct POINTS {
  SHORT x = 0;
  SHORT y = 0;
};

// A rectangle whose right and bottom edges are exclusive, as GDI's are.
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;

  friend constexpr bool operator==(const RECT&, const RECT&) = default;

  constexpr LONG Width() const { return right - left; }
  constexpr LONG Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

  constexpr RECT Offset(LONG dx, LONG dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  constexpr RECT Inflate(LONG dx, LONG dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }

  // An empty result is the zero rectangle, as IntersectRect gives.
  constexpr RECT Intersect(const RECT& o) const
  {
    RECT r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.IsEmpty() ? RECT{} : r;
  }
  // An empty operand does not widen the union, as UnionRect does.
  constexpr RECT Union(const RECT& o) const
  {
    if (IsEmpty()) {
      return o.IsEmpty() ? RECT{} : o;
    }
    if (o.IsEmpty()) {
      return *this;
    }
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
  }
  constexpr RECT Normalized() const
  {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  }
};

using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
