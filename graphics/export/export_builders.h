// The builders of the DXF export records: luminaires from the scene objects, polygons and regions from the
// site's primitives, node values and isolines from the main calculation area, the area outline and the axes.
#pragma once

#include "outside/grafocore/export_records.h"
#include "platform/mfc-core/mfcstring.h"

#include <string>

struct IArea;
class CBaseObjectContainer3D;
class CCalcAreaManager;

// The export flag bits (the same word goes to the builders and to the library).
inline constexpr int kExportLuminaires = 0x1;
inline constexpr int kExportPrimitives = 0x4;
inline constexpr int kExportNodeValuesBit = 0x10;
inline constexpr int kExportIsolinesBit = 0x20;
inline constexpr int kExportBackgroundDrawing = 0x80;
inline constexpr int kExportOutline = 0x100;
inline constexpr int kExportShading = 0x400;
inline constexpr int kExportAxes = 0x800;

// What the render core holds that the records are built from.
struct CExportSources {
  const CBaseObjectContainer3D* scene = nullptr;  // the owning scene list
  CCalcAreaManager* manager = nullptr;            // the active area's calculation areas
};

// Fills the list (its interchange flag from the area's class), in the order luminaires, primitives, node values,
// isolines, outline, axes. Bit 0x80 builds nothing: the library writes its own drawing.
void BuildExportRecords(IArea* area, nsExp::CExportList* list, int flags, const CExportSources& sources);

// A cp1251 text as UTF-16, without touching the process's locale.
std::u16string AnsiToWide(const CString& text);

// Makes the outline clockwise, judged at its lowest-leftmost vertex; a clockwise one is left as it is.
void MakeClockwise(std::vector<nsExp::CPoint3>& points);
