// One flat rectangle of calculated values in the 3D scene: its value grid, its grey or colour picture drawn
// as a texture, its isolines and its node values. Made, filled, drawn and saved by its manager.
#pragma once

#include "geometry/isolines.h"
#include "geometry/node_values.h"
#include "geometry/object3d.h"
#include "geometry/result_grid.h"
#include "geometry/wise_dib.h"

class CCalcAreaManager;

// The picture size of a main area limited to the largest texture, keeping its proportions.
void ClampPictureSize(int* width, int* height, int maxTextureSize);

class CCalcArea : public CObject3D {
public:
  CCalcArea(CCalcAreaManager* manager, int displayMode);
  ~CCalcArea() override;

  void SetPosition(double x, double y, double z) override;
  void MoveTo(double x, double y, double z) override;
  void SetRotation(double ax, double ay, double az) override;
  void TurnTo(double ax, double ay, double az) override;
  void SetSize(double sx, double sy, double sz) override;
  void ResizeTo(double sx, double sy, double sz) override;
  // The base's part; display mode; persisted-data flag; with the flag, isolines, grid, node values, picture.
  void Serialize(CArchive& ar, DWORD version) override;

  void FillEmptyNodes();
  void Build(DWORD fillFlags);
  void BuildIsolines(const CLevelArray& levels);
  void BuildNodeValues();
  void EnsureIsolinesAndNodeValues();
  void FillPicture(DWORD fillFlags);
  void UploadTexture();
  void DrawPicture();
  void DrawIsolines();
  void DrawNodeValues();
  void ApplyLabelColours(const float isoline[3], const float isolineLabel[3], const float marker[3],
                         const float nodeLabel[3]);

  DWORD m_kind = 0;
  unsigned m_texture = 0;
  CCalcAreaManager* m_manager;
  CResultGrid m_grid;
  CWiseDib m_picture;
  int m_displayMode;
  CIsoLinesContainer m_isolines;
  DWORD m_labelRecordKind = 0;
  CNodeValues m_nodeValues;
  int m_persisted = 0;
  int m_isolinesDone = 0;
  int m_nodeValuesDone = 0;
};
