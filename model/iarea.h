// The area interface: one calculation site of a project (straight road, open territory, interchange).
#pragma once

#include "model/class_obj_model.h"

class CStandardsOfRoad;
struct IPrimitive;

// A camera or device position: x, y, z in metres and three rotation angles in degrees.
struct _DEVCPOSITION {
  double x;
  double y;
  double z;
  double angle1;
  double angle2;
  double angle3;
};

struct IArea : IModelUnknown {
  virtual CString* GetCaption() = 0;
  virtual double* GetWidth() = 0;
  virtual double* GetLength() = 0;
  virtual double* GetBaseHeight() = 0;
  virtual int SetCaption(const CString* caption) = 0;
  virtual int SetWidth(const double* width) = 0;
  virtual int SetLength(const double* length) = 0;
  virtual int SetBaseHeight(const double* height) = 0;
  virtual IArea* GetNext() = 0;
  virtual int SetNext(IArea* next) = 0;
  virtual IArea* GetPrev() = 0;
  virtual int SetPrev(IArea* prev) = 0;
  virtual int IsActive() = 0;
  virtual int SetActive(const int* active) = 0;
  virtual CStandardsOfRoad* GetStandards() = 0;
  virtual int ClearSelection() = 0;
  virtual float GetViewParam0() = 0;
  virtual float GetViewParam1() = 0;
  virtual float GetViewParam2() = 0;
  virtual float GetViewParam3() = 0;
  virtual float GetViewParam4() = 0;
  virtual int SetViewParam0(float value) = 0;
  virtual int SetViewParam1(float value) = 0;
  virtual int SetViewParam2(float value) = 0;
  virtual int SetViewParam3(float value) = 0;
  virtual int SetViewParam4(float value) = 0;
  virtual int ResetViews() = 0;
  virtual int HitTest(double x, double y, int flags, IClassObjModel** out) = 0;
  virtual int HitTestPrimitive(double x, double y, int flags, IPrimitive* primitive) = 0;
  virtual int GetCursorFor(int hitCode, IClassObjModel* object, int* cursorId) = 0;
  virtual float GetViewParam5() = 0;
  virtual float GetViewParam6() = 0;
  virtual float GetViewParam7() = 0;
  virtual int SetViewParam5(float value) = 0;
  virtual int SetViewParam6(float value) = 0;
  virtual int SetViewParam7(float value) = 0;
  virtual int SetTypicalForm(const int* form) = 0;
  virtual int* GetTypicalForm() = 0;
  virtual int FormatCaption() = 0;
  virtual int BuildTypicalForm() = 0;
  virtual int SetEconomicOutput(const int* on) = 0;
  virtual int* GetEconomicOutput() = 0;
  virtual int SetLightingOutput(const int* on) = 0;
  virtual int* GetLightingOutput() = 0;
  virtual int GetViewCamera(const DWORD* viewBit, _DEVCPOSITION** out) = 0;
  virtual int* GetGridMode() = 0;
  virtual int SetGridMode(const int* mode) = 0;
  virtual int SetUnderlayId(const int* id) = 0;
  virtual int* GetUnderlayId() = 0;
  virtual double* GetGridStep() = 0;
  virtual int SetGridStep(const double* step) = 0;
  virtual int SetCalcAreaId(const int* id) = 0;
  virtual int* GetCalcAreaId() = 0;
  virtual int OnKeyDown(UINT key, UINT repeat, UINT flags) = 0;
  virtual int TestKeyDown(UINT key) = 0;
  virtual int ResetReportOrigin() = 0;
  virtual int SetReportOrigin(const double origin[3]) = 0;
  virtual int SetReportOriginX(const double* x) = 0;
  virtual int SetReportOriginY(const double* y) = 0;
  virtual int SetReportOriginZ(const double* z) = 0;
  virtual double* GetReportOriginX() = 0;
  virtual double* GetReportOriginY() = 0;
  virtual double* GetReportOriginZ() = 0;
  virtual double* GetReportOrigin() = 0;

protected:
  ~IArea() = default;
};

// Marks an area as a straight road; its parts are reached through QueryInterface.
struct IStraightRoad : IModelUnknown {
protected:
  ~IStraightRoad() = default;
};
