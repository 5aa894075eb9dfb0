// A document that answers every slot with nothing, and remembers the underlays the model gives back.
#pragma once

#include "model/doc_interface.h"

#include <vector>

class FakeDocument : public IQorRoadDoc {
public:
  std::vector<int> releasedUnderlays;

  HRESULT QueryInterface(REFIID, void** out) override
  {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  int StartCalculation(DWORD) override { return 0; }
  int OnCalculationFinished(int) override { return 0; }
  int CollapseHistory() override { return 0; }
  int ResetResults(IArea*) override { return 0; }
  int ResetActiveAreaResults() override { return 0; }
  int InvalidateResultsAfterEdit(IClassObjModel*, CTKPropertyGridItem*) override { return 1; }
  int ResetAllResults() override { return 0; }
  int PushUndoState() override { return 0; }
  int DropUndoState() override { return 0; }
  int Undo() override { return 0; }
  BOOL CanUndo() override { return FALSE; }
  int Redo() override { return 0; }
  BOOL CanRedo() override { return FALSE; }
  int SetModifiedFlag(BOOL) override { return 0; }
  int NotifyView(int, LPARAM, BOOL) override { return 1; }
  int Redraw(BOOL, BOOL, BOOL) override { return 0; }
  DWORD GetViewMode() override { return 0; }
  void GetTitle(CString*) override {}
  void SetViewMode(DWORD) override {}
  int SetViewType(DWORD) override { return 0; }
  float GetViewParam0() override { return 0; }
  float GetViewParam1() override { return 0; }
  float GetViewParam2() override { return 0; }
  float GetViewParam3() override { return 0; }
  float GetViewParam4() override { return 0; }
  int SetViewParam0(float) override { return 0; }
  int SetViewParam1(float) override { return 0; }
  int SetViewParam2(float) override { return 0; }
  int SetViewParam3(float) override { return 0; }
  int SetViewParam4(float) override { return 0; }
  int NotifyFontsChanged(LPARAM) override { return 0; }
  int NotifyFontChanged(LPARAM, int) override { return 1; }
  int ResetViewCameras() override { return 0; }
  BOOL IsContourOfPrim() override { return FALSE; }
  int SetContourOfPrim(BOOL) override { return 0; }
  BOOL IsReloctblPrimitives() override { return FALSE; }
  int SetReloctblPrimitives(BOOL) override { return 0; }
  float GetViewParam5() override { return 0; }
  float GetViewParam6() override { return 0; }
  float GetViewParam7() override { return 0; }
  int SetViewParam5(float) override { return 0; }
  int SetViewParam6(float) override { return 0; }
  int SetViewParam7(float) override { return 0; }
  IStatisticsSession* GetStatisticsObject() override { return nullptr; }
  HRESULT ResetCurrentViewCamera() override { return E_NOINTERFACE; }
  int ReapplyViewType() override { return 0; }
  int GetViewCamera(DWORD, _DEVCPOSITION**) override { return 1; }
  BOOL FindUnderlayUser(int, BOOL) override { return FALSE; }
  CString* GetUnderlayPath(CString* out, int) override { return out; }
  int CloneUnderlay(int*) override { return 0; }
  int DeleteLibraryProject(int) override { return 0; }
  int OpenDxfFile(const char*, int*) override { return 0; }
  double GetMarkerSize() override { return 0.1; }
  double* GetViewCentre(double* point) override { return point; }
  double* GetPlacementPoint(double* point, IArea*) override { return point; }
  double* GetLibraryProjectSize(double* out) override { return out; }
  BOOL PrepareProtocol() override { return TRUE; }
  int ReleaseUnderlay(int id) override
  {
    releasedUnderlays.push_back(id);
    return 0;
  }
  int EnableRendering(BOOL, BOOL) override { return 0; }
  BOOL IsCalcAreaIdFree(int, BOOL) override { return TRUE; }
  double* GetLibraryProjectPosition(double* out) override { return out; }
  int ToLibraryCoords(double*) override { return 0; }
  CGraphicCore* GetGraphicCore() override { return nullptr; }
  int GetCatalogCount() override { return 0; }
  _CATALOG_INFO* GetCatalogInfo(int) override { return nullptr; }
  BOOL InstallCatalog(CWnd*, const char*, BOOL) override { return FALSE; }
  int ReopenLuminaireDatabase() override { return 1; }
  BOOL UnloadCatalog(int, const char*, int) override { return FALSE; }
};
