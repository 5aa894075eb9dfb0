// The one document of the program: the short history of project states, the outside servers, the render core,
// the optimisation settings, the project file and new projects. Everything else reaches the project through
// its interface IQorRoadDoc.
#pragma once

#include "document/graphic_core.h"
#include "model/doc_interface.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/document.h"

#include <vector>

struct IProject;
struct IVisualOpt;
struct ILuminaireDatabase;
struct IPoleCatalog;
struct IPriceDatabase;
struct IStatistics;

// The window-transparency component: created for each use, released at once.
inline constexpr CLSID CLSID_TransparencySetting{0x000BCF03, 0x7478, 0x4D0A, {0x87, 0x56, 0x57, 0x07, 0xA8, 0xD5, 0x77, 0x0E}};
inline constexpr IID IID_ITransparencySetting{0xDFFDC1DB, 0x66DD, 0x4C04, {0x9D, 0x0D, 0x27, 0x2E, 0x61, 0xAB, 0x76, 0xF9}};
struct ITransparencySetting : IUnknown {
  virtual HRESULT Reserved3() = 0;
  virtual HRESULT Reserved4() = 0;
  virtual HRESULT Reserved5() = 0;
  virtual HRESULT Reserved6() = 0;
  // Slot 7: the alpha of the application's windows, 0..255.
  virtual HRESULT SetAlpha(int alpha) = 0;

protected:
  ~ITransparencySetting() = default;
};

// What the document reads and sets on the program's view, when the first view is one.
class IQorRoadView {
public:
  virtual BOOL& ContourOfPrim() = 0;
  virtual BOOL& ReloctblPrimitives() = 0;

protected:
  ~IQorRoadView() = default;
};

namespace document_detail {

// IQorRoadDoc and the framework's document both have a SetModifiedFlag(BOOL), with different results; the
// interface's slot is answered here and forwards to the framework's flag.
class CQorRoadDocSlots : public IQorRoadDoc {
public:
  int SetModifiedFlag(BOOL modified) final
  {
    SetDocumentModified(modified);
    return 0;
  }

protected:
  virtual void SetDocumentModified(BOOL modified) = 0;
  ~CQorRoadDocSlots() = default;
};

}  // namespace document_detail

class CQorRoadDoc : public CDocument, public document_detail::CQorRoadDocSlots {
  DECLARE_DYNCREATE(CQorRoadDoc)
public:
  CQorRoadDoc();
  ~CQorRoadDoc() override;

  // The framework's document.
  void Serialize(CArchive& ar) override;
  void SetTitle(LPCSTR title) override;
  BOOL OnNewDocument() override;
  BOOL OnOpenDocument(LPCSTR pathName) override;
  void PreCloseFrame(CFrameWnd*) override {}

  // New projects.
  void NewProject(BOOL notify);
  void NewProjectOfKind(int* kind);
  BOOL QuerySaveProject();
  void OnNewStraightRoad();
  void OnNewOpenTerritory();
  void OnNewTurn();
  void OnNewFork();
  void OnNewIntersection();
  void OnNewJunction();
  void OnNewWidening();
  void OnNewRoundabout();
  void OnNewMultiLevel();
  void OnUpdateNewTypicalForm(CCmdUI*) {}

  // The calculation commands (calculation_run.cpp).
  void OnCalculate();
  void OnCalculateForProtocol();
  void OnCancelCalculation();
  void OnUpdateCancelCalculation(CCmdUI* cmdUI);

  // Pole-spacing optimisation (optimization.cpp).
  void OnOptimization();
  void OnUpdateOptimization(CCmdUI* cmdUI);

  // The other commands (doc_commands.cpp).
  void ShowPreferences(int page);
  void OnSettings() { ShowPreferences(-1); }
  void OnSettingsCalcMode() { ShowPreferences(0); }
  void OnSettingsImage() { ShowPreferences(1); }
  void OnSettingsProtocol() { ShowPreferences(2); }
  void OnSettingsColor() { ShowPreferences(3); }
  void OnSettingsFont() { ShowPreferences(4); }
  void OnObjectWizard();
  void OnToggleTransparency();
  void OnUpdateToggleTransparency(CCmdUI* cmdUI);
  void OnPhotometricBody();
  void OnUpdatePhotometricBody(CCmdUI* cmdUI);
  void OnExport();
  void OnUpdateExport(CCmdUI* cmdUI);
  void OnLoadCatalogFromFile();
  void OnUpdateLoadCatalogFromFile(CCmdUI* cmdUI);
  void OnManageCatalogs();
  void OnUpdateManageCatalogs(CCmdUI* cmdUI);

  // The optimisation settings the last search left (the dialog's six values).
  Shell::OptimizationChoice GetOptimizationSettings() const;

  // The history.
  void InitHistory();
  void TruncateHistory(int from);
  int GetStateCount() const { return m_stateCount; }
  int GetCurrentIndex() const { return m_current; }
  int GetSnapshotIndex() const { return m_snapshot; }
  IProject* GetProjectState(int index) const { return m_projects.at(index); }
  IVisualOpt* GetOptionsState(int index) const { return m_options.at(index); }
  IProject* GetCurrentProject() const;
  IVisualOpt* GetCurrentOptions() const;

  // The outside servers.
  BOOL OpenLuminaireDatabase();
  void OpenServers();
  void CloseServers();
  void OpenStatistics();
  void CloseStatistics();

  DWORD GetViewType() const { return m_viewType; }
  LONG GetInterfaceCount() const { return m_refCount; }

  // IQorRoadDoc
  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;
  int StartCalculation(DWORD flags) override;
  int OnCalculationFinished(int code) override;
  int CollapseHistory() override;
  int ResetResults(IArea* area) override;
  int ResetActiveAreaResults() override;
  int InvalidateResultsAfterEdit(IClassObjModel* edited, CTKPropertyGridItem* item) override;
  int ResetAllResults() override;
  int PushUndoState() override;
  int DropUndoState() override;
  int Undo() override;
  BOOL CanUndo() override;
  int Redo() override;
  BOOL CanRedo() override;
  int NotifyView(int ignored, LPARAM lParam, BOOL post) override;
  int Redraw(BOOL recalc, BOOL rebuild, BOOL swap) override;
  DWORD GetViewMode() override { return m_viewMode; }
  void GetTitle(CString* out) override;
  using CDocument::GetTitle;
  using CDocument::SetModifiedFlag;
  void SetViewMode(DWORD mode) override { m_viewMode = mode; }
  int SetViewType(DWORD type) override;
  float GetViewParam0() override;
  float GetViewParam1() override;
  float GetViewParam2() override;
  float GetViewParam3() override;
  float GetViewParam4() override;
  int SetViewParam0(float value) override;
  int SetViewParam1(float value) override;
  int SetViewParam2(float value) override;
  int SetViewParam3(float value) override;
  int SetViewParam4(float value) override;
  int NotifyFontsChanged(LPARAM lParam) override;
  int NotifyFontChanged(LPARAM lParam, int index) override;
  int ResetViewCameras() override;
  BOOL IsContourOfPrim() override;
  int SetContourOfPrim(BOOL on) override;
  BOOL IsReloctblPrimitives() override;
  int SetReloctblPrimitives(BOOL on) override;
  float GetViewParam5() override;
  float GetViewParam6() override;
  float GetViewParam7() override;
  int SetViewParam5(float value) override;
  int SetViewParam6(float value) override;
  int SetViewParam7(float value) override;
  IStatisticsSession* GetStatisticsObject() override { return m_statisticsObject; }
  HRESULT ResetCurrentViewCamera() override;
  int ReapplyViewType() override;
  int GetViewCamera(DWORD viewBit, _DEVCPOSITION** out) override;
  BOOL FindUnderlayUser(int id, BOOL detach) override;
  CString* GetUnderlayPath(CString* out, int id) override;
  int CloneUnderlay(int* id) override;
  int DeleteLibraryProject(int id) override;
  int OpenDxfFile(const char* path, int* id) override;
  double GetMarkerSize() override;
  double* GetViewCentre(double* point) override;
  double* GetPlacementPoint(double* point, IArea* area) override;
  double* GetLibraryProjectSize(double* out) override;
  BOOL PrepareProtocol() override;
  int ReleaseUnderlay(int id) override;
  int EnableRendering(BOOL on, BOOL recalc) override;
  BOOL IsCalcAreaIdFree(int id, BOOL currentOnly) override;
  double* GetLibraryProjectPosition(double* out) override;
  int ToLibraryCoords(double* point) override;
  CGraphicCore* GetGraphicCore() override { return m_graphicCore; }
  int GetCatalogCount() override;
  _CATALOG_INFO* GetCatalogInfo(int index) override;
  BOOL InstallCatalog(CWnd* parent, const char* file, BOOL showMessages) override;
  int ReopenLuminaireDatabase() override;
  BOOL UnloadCatalog(int reserved1, const char* catalogueId, int reserved2) override;

protected:
  void SetDocumentModified(BOOL modified) override { CDocument::SetModifiedFlag(modified); }

private:
  static void ApplyTransparency(int alpha);
  // The calculation state the main frame keeps (0 idle, 1 running, 2 stopping).
  static int QueryCalculationState();
  // Makes `project` and `options` (copies of an earlier state) the state one undo step below the current one.
  void KeepUndoState(IProject* project, IVisualOpt* options);
  // Installs a catalogue file into the plug-in folder; see doc_commands.cpp.
  BOOL InstallNewCatalog(CWnd* parent, const CString& file, BOOL showMessages, int countBefore);
  BOOL UpdateCatalog(CWnd* parent, const CString& file, BOOL showMessages);
  void CheckCurrent() const;
  // The active area of the current project with one reference, or null.
  IArea* QueryActiveArea();
  IArea* QueryActiveArea(IProject* project);
  IQorRoadView* GetFirstQorRoadView() const;
  void ReleaseLastState();
  void StoreProject(CArchive& ar);
  void LoadProject(CArchive& ar);
  void NewTypicalFormCommand(int kind);
  // The steps of a new project after its number is taken.
  void ResetProject(BOOL notify, long number);

  std::vector<IProject*> m_projects;
  std::vector<IVisualOpt*> m_options;
  int m_current = -1;
  int m_snapshot = -1;
  int m_stateCount = 0;
  DWORD m_viewMode = 0x202;
  // Optimisation settings: live as long as the document, never stored.
  int m_optimisationCriterion = 0;
  double m_illuminanceTarget = 20.0;
  double m_luminanceTarget = 1.6;
  double m_illuminanceUniformityLimit = 3.0;
  double m_luminanceUniformityLimit = 0.3;
  int m_uniformityCheck = 0;
  LONG m_refCount = 0;
  IStatisticsSession* m_statisticsObject = nullptr;
  ILuminaireDatabase* m_luminaireDatabase = nullptr;
  IPoleCatalog* m_poleCatalog = nullptr;
  IStatistics* m_statistics = nullptr;
  IPriceDatabase* m_priceDatabase = nullptr;
  CGraphicCore* m_graphicCore = nullptr;
  // The current view camera's type until the render core keeps its own camera.
  DWORD m_viewType = 2;
  _CATALOG_INFO m_catalogInfo{};
  // The number of the fresh project a load began with, while the blocks of a file are being read; 0 otherwise.
  long m_loadingProjectNumber = 0;

  DECLARE_MESSAGE_MAP()
};

// Copies a catalogue file into the plug-in folder, whole or not at all (`replace`: an existing file may be
// replaced); false when it could not. Tests put failures in its place; null restores the program's own.
using CatalogueCopier = bool (*)(const CString& from, const CString& to, bool replace);
void SetCatalogueCopier(CatalogueCopier copier);
