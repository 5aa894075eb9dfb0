// A small 3D vector in road coordinates: x along the road, y across it (to the left of the main direction of
// traffic), z up; metres.
#pragma once

#include <cmath>
#include <numbers>

namespace Engines {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

inline constexpr double kDegree = std::numbers::pi / 180.0;
inline double Radians(double degrees) { return degrees * kDegree; }
inline double Degrees(double radians) { return radians / kDegree; }

}  // namespace Engines
