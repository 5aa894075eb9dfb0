// CPoint, CSize and CRect: the framework's names for POINT, SIZE and RECT, with their constructors. The
// arithmetic stays with the base types (platform/base/geometry.h).
#pragma once

#include "platform/base/geometry.h"

class CPoint : public POINT {
public:
  constexpr CPoint() = default;
  constexpr CPoint(int initX, int initY) : POINT{initX, initY} {}
  constexpr CPoint(POINT p) : POINT(p) {}
};

class CSize : public SIZE {
public:
  constexpr CSize() = default;
  constexpr CSize(int initCX, int initCY) : SIZE{initCX, initCY} {}
  constexpr CSize(SIZE s) : SIZE(s) {}
};

class CRect : public RECT {
public:
  constexpr CRect() = default;
  constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& r) : RECT(r) {}
  constexpr CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

  constexpr BOOL IsRectEmpty() const { return IsEmpty(); }
  constexpr BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr BOOL PtInRect(POINT p) const { return Contains(p); }
  constexpr CSize Size() const { return CSize(Width(), Height()); }
  constexpr CPoint TopLeft() const { return CPoint(left, top); }
  constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
  constexpr CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
  void SetRectEmpty() { *this = CRect(); }
  void OffsetRect(int dx, int dy) { *this = CRect(Offset(dx, dy)); }
  void InflateRect(int dx, int dy) { *this = CRect(Inflate(dx, dy)); }
  void DeflateRect(int dx, int dy) { *this = CRect(Inflate(-dx, -dy)); }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
};
