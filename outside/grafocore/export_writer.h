// DXF from the program's export records: one layer per kind of record (the export dialog's names), luminaire
// columns as insertions of one block, polygons and isolines as 3D polylines and lines that keep their heights,
// one TEXT per node value and label.
#pragma once

#include "outside/grafocore/dxf/dxf_drawing.h"

#include <string>

namespace nsExp {
class CExportList;
}

namespace grafocore {

inline constexpr char kLayerLuminaires[] = "Осветительные приборы";
inline constexpr char kLayerRoad[] = "Элементы дороги";
inline constexpr char kLayerShading[] = "Объекты затенения";
inline constexpr char kLayerValues[] = "Значения в узлах";
inline constexpr char kLayerIsolines[] = "Изолинии";
inline constexpr char kLayerBackground[] = "Геоподоснова";
inline constexpr char kLayerAxes[] = "Координатные оси";
inline constexpr char kLayerOutline[] = "Контур участка";
// The block every luminaire column inserts.
inline constexpr char kColumnBlock[] = "COLUMN";

// Export flag of the background drawing; the records never carry it.
inline constexpr int kExportBackground = 0x80;

// The file's bytes. background (may be null) is written when flags holds kExportBackground, moved by offset.
std::string WriteExportDxf(const nsExp::CExportList& list, int flags, const dxf::Drawing* background,
                           const dxf::Point& offset);

}  // namespace grafocore
