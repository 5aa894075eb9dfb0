// The export records: what the program hands the library's "ExportData" to be written as DXF. The program
// fills and frees them; the library only reads them. Kinds are the export flag bits of the records.
#pragma once

#include <string>
#include <vector>

namespace nsExp {

struct CPoint3 {
  double x = 0, y = 0, z = 0;
};

class CExportData {
public:
  explicit CExportData(int kind = 0) : m_kind(kind) {}
  virtual ~CExportData() = default;
  CExportData(const CExportData&) = delete;
  CExportData& operator=(const CExportData&) = delete;

  int m_reserved0 = 0;
  int m_kind;
  int m_reserved1 = 0;
  double m_position[3] = {0, 0, 0};
  double m_rotation[3] = {0, 0, 0};  // degrees
  double m_size[3] = {0, 0, 0};
  std::u16string m_name;
  std::u16string m_text;
};

inline constexpr int kExpLuminaires = 0x1;
inline constexpr int kExpGroup = 0x2;
inline constexpr int kExpPolygon = 0x4;
inline constexpr int kExpRegion = 0x8;
inline constexpr int kExpValues = 0x10;
inline constexpr int kExpIsolines = 0x20;
inline constexpr int kExpPolyline = 0x40;
inline constexpr int kExpOutline = 0x100;
inline constexpr int kExpMText = 0x200;
inline constexpr int kExpAxes = 0x800;

class CExpGroupLightingColumn;

class CExpLightingColumn : public CExportData {
public:
  class CArm : public CExportData {
  public:
    CArm() : CExportData(0) {}
    ~CArm() override { delete m_aim; }
    unsigned char m_reserved[16] = {};
    double m_mountingHeight = 0;
    CExportData* m_aim = nullptr;  // owned; masts only
  };

  CExpLightingColumn() : CExportData(kExpLuminaires) {}
  ~CExpLightingColumn() override
  {
    for (CArm* arm : m_arms)
      delete arm;
  }
  std::vector<CArm*> m_arms;
  double m_tubeHeight = 0;
  int m_deviceKind = 0;  // 4 pole, 8 mast, 0x10 floor lamp
  CExpGroupLightingColumn* m_group = nullptr;
};

class CExpGroupLightingColumn : public CExportData {
public:
  CExpGroupLightingColumn() : CExportData(kExpGroup) {}
  ~CExpGroupLightingColumn() override
  {
    for (CExportData* member : m_members)
      delete member;
  }
  std::vector<CExportData*> m_members;
  int m_groupKind = 0;  // 1 individual, 2 line, 4 circle, 8 polyline
};

class CExpPolygonData : public CExportData {
public:
  explicit CExpPolygonData(int kind = kExpPolygon) : CExportData(kind) {}
  std::vector<CPoint3> m_points;
  int m_membership = 0;  // 1 background, 2 carriageway, 4 sidewalk, 8 shading object, 0 other
  double m_layerLevel = 0;
  double m_height = 0;
};

class CExpRegionData : public CExportData {
public:
  CExpRegionData() : CExportData(kExpRegion) {}
  ~CExpRegionData() override
  {
    for (CExpPolygonData* polygon : m_polygons)
      delete polygon;
  }
  std::vector<CExpPolygonData*> m_polygons;  // outer, then inner
  int m_membership = 0;
  double m_layerLevel = 0;
};

class CExpValuesData : public CExportData {
public:
  struct CValue {
    double x = 0, y = 0, z = 0;
    std::u16string text;
    double height = 0;
  };
  CExpValuesData() : CExportData(kExpValues) {}
  ~CExpValuesData() override
  {
    for (CValue* value : m_values)
      delete value;
  }
  std::vector<CValue*> m_values;
};

class CExpIsolinesData : public CExportData {
public:
  struct CSegment {
    double x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
  };
  struct CLabel {
    double x = 0, y = 0, z = 0;
    std::u16string text;
    double height = 0;
    double rotation = 0;  // about z, degrees
  };
  struct CLevel {
    std::vector<CSegment> segments;
    std::vector<CLabel> labels;
  };
  CExpIsolinesData() : CExportData(kExpIsolines) {}
  ~CExpIsolinesData() override
  {
    for (CLevel* level : m_levels)
      delete level;
  }
  std::vector<CLevel*> m_levels;
};

class CExpPolylineData : public CExportData {
public:
  CExpPolylineData() : CExportData(kExpPolyline) {}
  std::vector<CPoint3> m_points;
};

// Height of the text in m_size[1].
class CExpMTextData : public CExportData {
public:
  CExpMTextData() : CExportData(kExpMText) {}
};

class CExpAxisData : public CExportData {
public:
  CExpAxisData() : CExportData(kExpAxes) {}
};

// The list owns its records and frees them when it goes.
class CExportList {
public:
  CExportList() = default;
  ~CExportList() { Clear(); }
  CExportList(const CExportList&) = delete;
  CExportList& operator=(const CExportList&) = delete;

  void Clear()
  {
    for (CExportData* record : m_records)
      delete record;
    m_records.clear();
  }

  std::vector<CExportData*> m_records;
  int m_interchange = 0;
};

}  // namespace nsExp
