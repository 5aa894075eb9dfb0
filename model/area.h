// The common base of the three area kinds: the size of the site, its norms, its place in the project's list,
// the cameras of the 3D views, the grid settings, the links into the graphics core and the report origin.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/standards.h"

namespace ObjectModel {

class CArea : public CClassObjModel, public IArea {
public:
  static constexpr int kCameraCount = 8;
  static constexpr int kViewParamCount = 8;

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }

  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  CString* GetCaption() override { return &m_caption; }
  double* GetWidth() override { return &m_width; }
  double* GetLength() override { return &m_length; }
  double* GetBaseHeight() override { return &m_baseHeight; }
  int SetCaption(const CString* caption) override;
  int SetWidth(const double* width) override;
  int SetLength(const double* length) override;
  int SetBaseHeight(const double* height) override;
  IArea* GetNext() override { return m_next; }
  int SetNext(IArea* next) override;
  IArea* GetPrev() override { return m_prev; }
  int SetPrev(IArea* prev) override;
  int IsActive() override { return m_active; }
  int SetActive(const int* active) override;
  CStandardsOfRoad* GetStandards() override { return &m_standards; }
  int ClearSelection() override;
  float GetViewParam0() override { return m_viewParams[0]; }
  float GetViewParam1() override { return m_viewParams[1]; }
  float GetViewParam2() override { return m_viewParams[2]; }
  float GetViewParam3() override { return m_viewParams[3]; }
  float GetViewParam4() override { return m_viewParams[4]; }
  int SetViewParam0(float value) override { return SetViewParam(0, value); }
  int SetViewParam1(float value) override { return SetViewParam(1, value); }
  int SetViewParam2(float value) override { return SetViewParam(2, value); }
  int SetViewParam3(float value) override { return SetViewParam(3, value); }
  int SetViewParam4(float value) override { return SetViewParam(4, value); }
  int ResetViews() override;
  int HitTest(double x, double y, int flags, IClassObjModel** out) override;
  int HitTestPrimitive(double x, double y, int flags, IPrimitive* primitive) override;
  int GetCursorFor(int hitCode, IClassObjModel* object, int* cursorId) override;
  float GetViewParam5() override { return m_viewParams[5]; }
  float GetViewParam6() override { return m_viewParams[6]; }
  float GetViewParam7() override { return m_viewParams[7]; }
  int SetViewParam5(float value) override { return SetViewParam(5, value); }
  int SetViewParam6(float value) override { return SetViewParam(6, value); }
  int SetViewParam7(float value) override;
  int SetTypicalForm(const int* form) override;
  int* GetTypicalForm() override { return &m_typicalForm; }
  int FormatCaption() override;
  int SetEconomicOutput(const int* on) override;
  int* GetEconomicOutput() override { return &m_economicOutput; }
  int SetLightingOutput(const int* on) override;
  int* GetLightingOutput() override { return &m_lightingOutput; }
  int GetViewCamera(const DWORD* viewBit, _DEVCPOSITION** out) override;
  int* GetGridMode() override { return &m_gridMode; }
  int SetGridMode(const int* mode) override;
  int SetUnderlayId(const int* id) override;
  int* GetUnderlayId() override { return &m_underlayId; }
  double* GetGridStep() override { return &m_gridStep; }
  int SetGridStep(const double* step) override;
  int SetCalcAreaId(const int* id) override;
  int* GetCalcAreaId() override { return &m_calcAreaId; }
  int ResetReportOrigin() override;
  int SetReportOrigin(const double origin[3]) override;
  int SetReportOriginX(const double* x) override;
  int SetReportOriginY(const double* y) override;
  int SetReportOriginZ(const double* z) override;
  double* GetReportOriginX() override { return &m_reportOrigin[0]; }
  double* GetReportOriginY() override { return &m_reportOrigin[1]; }
  double* GetReportOriginZ() override { return &m_reportOrigin[2]; }
  double* GetReportOrigin() override { return m_reportOrigin; }

  IQorRoadDoc* GetContext() const { return m_context; }
  int GetAreaNumber() const { return m_areaNumber; }

protected:
  // Made only as the base of a kind, which then sets its own class id, name and caption.
  CArea(CClassObjModel* parent, IQorRoadDoc* context, int number);
  ~CArea() override;

private:
  int SetViewParam(int index, float value);

  double m_width = 50.0;
  double m_length = 50.0;
  double m_baseHeight = 0;
  CString m_caption;
  float m_viewParams[kViewParamCount] = {};
  IQorRoadDoc* m_context;
  IArea* m_prev = nullptr;
  IArea* m_next = nullptr;
  int m_active = 0;
  CStandardsOfRoad m_standards;
  int m_typicalForm = 0;
  int m_areaNumber;
  int m_economicOutput = 1;
  int m_lightingOutput = 1;
  _DEVCPOSITION m_cameras[kCameraCount] = {};
  int m_gridMode = 0;
  double m_gridStep = 1.0;
  int m_underlayId = 0;
  int m_calcAreaId = 0;
  double m_reportOrigin[3] = {};
};

}  // namespace ObjectModel
