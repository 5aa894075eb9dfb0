// The document's interface: how panes, views, dialogs and the model objects themselves reach the open project,
// the render core, the outside servers, the undo history and the calculation run. The model receives it as
// its context at construction and keeps it without a reference.
#pragma once

#include "platform/base/hresult.h"
#include "platform/base/wintypes.h"
#include "platform/com/unknown.h"

#include <cstdint>

class CString;
class CWnd;
class CGraphicCore;
class CTKPropertyGridItem;
struct IStatisticsSession;

struct IArea;
struct IClassObjModel;
struct _DEVCPOSITION;

// What the luminaire database answers for one installed catalogue: id, maker and a third text, then data
// this program does not read.
struct _CATALOG_INFO {
  char id[260];
  char manufacturer[260];
  char text3[260];  // the trademark
  int date;         // the catalogue's version date; larger is newer
  const BYTE* picture;  // owned by the database
  std::uint64_t pictureBytes;
};

// Points handed through this interface are three doubles: x, y, z.
struct IQorRoadDoc : IUnknown {
  virtual int StartCalculation(DWORD flags) = 0;
  virtual int OnCalculationFinished(int code) = 0;
  virtual int CollapseHistory() = 0;
  virtual int ResetResults(IArea* area) = 0;
  virtual int ResetActiveAreaResults() = 0;
  virtual int InvalidateResultsAfterEdit(IClassObjModel* edited, CTKPropertyGridItem* item) = 0;
  virtual int ResetAllResults() = 0;
  virtual int PushUndoState() = 0;
  virtual int DropUndoState() = 0;
  virtual int Undo() = 0;
  virtual BOOL CanUndo() = 0;
  virtual int Redo() = 0;
  virtual BOOL CanRedo() = 0;
  virtual int SetModifiedFlag(BOOL modified) = 0;
  virtual int NotifyView(int ignored, LPARAM lParam, BOOL post) = 0;
  virtual int Redraw(BOOL recalc, BOOL rebuild, BOOL swap) = 0;
  virtual DWORD GetViewMode() = 0;
  virtual void GetTitle(CString* out) = 0;
  virtual void SetViewMode(DWORD mode) = 0;
  virtual int SetViewType(DWORD type) = 0;
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
  virtual int NotifyFontsChanged(LPARAM lParam) = 0;
  virtual int NotifyFontChanged(LPARAM lParam, int index) = 0;
  virtual int ResetViewCameras() = 0;
  virtual BOOL IsContourOfPrim() = 0;
  virtual int SetContourOfPrim(BOOL on) = 0;
  virtual BOOL IsReloctblPrimitives() = 0;
  virtual int SetReloctblPrimitives(BOOL on) = 0;
  virtual float GetViewParam5() = 0;
  virtual float GetViewParam6() = 0;
  virtual float GetViewParam7() = 0;
  virtual int SetViewParam5(float value) = 0;
  virtual int SetViewParam6(float value) = 0;
  virtual int SetViewParam7(float value) = 0;
  virtual IStatisticsSession* GetStatisticsObject() = 0;
  virtual HRESULT ResetCurrentViewCamera() = 0;
  virtual int ReapplyViewType() = 0;
  virtual int GetViewCamera(DWORD viewBit, _DEVCPOSITION** out) = 0;
  virtual BOOL FindUnderlayUser(int id, BOOL detach) = 0;
  virtual CString* GetUnderlayPath(CString* out, int id) = 0;
  virtual int CloneUnderlay(int* id) = 0;
  virtual int DeleteLibraryProject(int id) = 0;
  virtual int OpenDxfFile(const char* path, int* id) = 0;
  virtual double GetMarkerSize() = 0;
  virtual double* GetViewCentre(double* point) = 0;
  virtual double* GetPlacementPoint(double* point, IArea* area) = 0;
  virtual double* GetLibraryProjectSize(double* out) = 0;
  virtual BOOL PrepareProtocol() = 0;
  virtual int ReleaseUnderlay(int id) = 0;
  virtual int EnableRendering(BOOL on, BOOL recalc) = 0;
  virtual BOOL IsCalcAreaIdFree(int id, BOOL currentOnly) = 0;
  virtual double* GetLibraryProjectPosition(double* out) = 0;
  virtual int ToLibraryCoords(double* point) = 0;
  virtual CGraphicCore* GetGraphicCore() = 0;
  virtual int GetCatalogCount() = 0;
  virtual _CATALOG_INFO* GetCatalogInfo(int index) = 0;
  virtual BOOL InstallCatalog(CWnd* parent, const char* file, BOOL showMessages) = 0;
  virtual int ReopenLuminaireDatabase() = 0;
  virtual BOOL UnloadCatalog(int reserved1, const char* catalogueId, int reserved2) = 0;

protected:
  ~IQorRoadDoc() = default;
};
