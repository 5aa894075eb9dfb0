// The render core of the document's view: it owns what the view draws (the calculation-area managers, the
// legend, the camera with its OpenGL context) and the link to the outside graphics library, draws one frame on
// request, rebuilds what is drawn only when asked, follows the view type, and keeps its part of the project
// file. The document makes it through the factory that InstallGraphicCore sets. User-interface thread only.
//
// A frame is drawn only with the view's context current; a view whose pixel format or context could not be
// made has shown its message and draws nothing, whatever asks it to.
#pragma once

#include "document/graphic_core.h"
#include "geometry/calc_area_manager.h"
#include "geometry/view_camera.h"
#include "graphics/core/camera_presets.h"
#include "graphics/core/color_legend.h"
#include "graphics/core/graphics_dll_mediator.h"
#include "graphics/scene/object_containers.h"
#include "model/cguid.h"

#include <memory>

class CGLContext;
class CScenePalette;
class CTextureRegistry;
class CFontCache;
class CSceneObjects;
class CSceneBuilder;
class CRoadDrawers;
class CToolHolder;
class CNavigatorTool;
class CWnd;
struct GLUquadric;
struct IArea;
struct IVisualOpt;
struct _CALC_RESULTS;

// The process-wide calculation-grid mode of the active area, written before every frame.
int& CurrentGridMode();

class CGraphicCoreFull : public CGraphicCore,
                         public CGraphicsDllMediator,
                         public ICalcAreaHost,
                         public ICameraHost {
public:
  explicit CGraphicCoreFull(IQorRoadDoc* document);
  ~CGraphicCoreFull() override;

  // Called once by the view when its window is made: camera and context, textures, palette, OpenGL state,
  // the manager of the active area, the library's window, the legend font. 1 when the legend font was made.
  int Init(CWnd* view) override;
  void SetWindow(CWnd* view) override { Init(view); }

  void Render(BOOL recalc, BOOL rebuild) override;
  void ClearFrame() override;
  void SwapBuffers() override;

  // After every change of view type (the camera calls it).
  void SetViewMode(int viewType) override;
  void OnWindowSize(UINT type, int cx, int cy) override;
  // Runs the calculation first when values or isolines are asked and the area has none; a failed run stops
  // the export with the run's message (0 then). The records themselves come with the export builders.
  int BuildExportData(IArea* area, nsExp::CExportList* list, int flags) override;
  int ExportDxf(IQorRoadDoc* document) override;

  // The project file's part is the document core's; the library's own block is written within it.
  using CGraphicCore::Serialize;

  void RefreshProjectState();
  BOOL IsStraightRoad();
  BOOL IsInterchange() const;
  CCalcAreaManager* GetCalcAreaManager();
  const CColorLevelArray& GetColorLevels() override;
  CString GetUnderlayPath(int id) override;
  void CloneUnderlay(int* id) override;
  void GetViewCentre(double out[3]) override;
  void ClearRasters() override;
  void RemoveRaster(int id) override;
  void DeleteLibraryProject(int id) override { DeleteProject(id); }
  void OpenDxfFile(const char* path, int* id) override { OpenDXFFile(path, id); }
  void GetLibraryProjectSize(double out[3]) override { GetProjectDimentions(&out[0], &out[1], &out[2]); }
  void GetLibraryProjectPosition(double out[3]) override { GetProjectPosition(&out[0], &out[1], &out[2]); }

  CViewCamera* GetCamera() const { return m_camera.get(); }
  CGLContext* GetGLContext() const { return m_glContext; }
  CCalcAreaManagerContainer& GetManagers() { return m_managers; }
  CColorLegend& GetLegend() { return m_legend; }
  BOOL IsLegendFontReady() const { return m_legendFontReady; }
  const double* GetSectionOrigin() const { return m_sectionOrigin; }
  // The scene objects of the last rebuild pass and the builder that made them.
  CSceneObjects* GetScene() const { return m_scene.get(); }
  CSceneBuilder* GetSceneBuilder() const { return m_builder.get(); }
  CRoadDrawers* GetRoadDrawers() const { return m_drawers.get(); }
  int GetUnderlayId() const { return m_underlayId; }
  // The view's mouse tools: the holder of the current tool, and the navigator made with the view's GL state.
  CToolHolder* GetToolHolder() const { return m_toolHolder.get(); }
  CNavigatorTool* GetNavigator() const { return m_navigator.get(); }

  BOOL m_underlayFlag = TRUE;
  float m_background[3] = {0, 0, 0};

  // ICalcAreaHost
  IVisualOpt* GetVisualOptions() override;
  BOOL GetActiveAreaSize(double* length, double* width) override;
  _CALC_RESULTS* GetActiveResults() override;
  BOOL IsCalcAreaIdFree(int id, BOOL currentOnly) override;
  BOOL IsStraightRoadActive() override { return IsStraightRoad(); }
  BOOL GetUserGridFlag() override;
  const CRoadLayout& GetRoadLayout() override;
  int SegmentTouchesActivePrimitive(const double first[3], const double second[3]) override;

  // ICameraHost
  _DEVCPOSITION* GetEyeRecord(DWORD viewBit) override;
  void ResetEyeRecord(DWORD viewBit) override;
  void OnViewTypeChanged(DWORD viewType) override { SetViewMode(static_cast<int>(viewType)); }
  void ApplyLibraryView(double* eyeX, double* eyeY, double* eyeZ, double* farPlane) override;
  double GetBaseHeight() override;
  void RenderFrame() override { Render(FALSE, FALSE); }
  void OnNavigatorMode(BOOL rotate) override;

protected:
  void SerializeCalcAreaManagers(CArchive& ar, DWORD version) override;
  // Through the loaded library; a library that cannot take its block (absent, or without "Serialize") leaves
  // it to the program's own reading, so the file still opens.
  int SerializeLibraryBlock(CArchive& ar, DWORD version) override;
  void SerializeRasterIds(CArchive& ar) override;
  void SerializeRasters(CArchive& ar) override;

private:
  IArea* QueryActiveArea() const;  // a counted reference, or null
  void RebuildPass(BOOL recalc, IVisualOpt* options, BOOL straightRoad);
  void DrawFrame(BOOL straightRoad);
  void DrawAxesAndLegend();
  // The extent the far plane is fitted to: the builder's (a straight road's section, another area's size).
  void MeasureScene(double extent[3]);

  void BuildScene(IArea* area, IVisualOpt* options, BOOL straightRoad);

  std::unique_ptr<CSceneObjects> m_scene;
  std::unique_ptr<CSceneBuilder> m_builder;
  std::unique_ptr<CRoadDrawers> m_drawers;
  std::unique_ptr<CViewCamera> m_camera;
  std::unique_ptr<CNavigatorTool> m_navigator;
  std::unique_ptr<CToolHolder> m_toolHolder;
  CGLContext* m_glContext = nullptr;  // the camera's
  CScenePalette* m_palette;
  CTextureRegistry* m_textures;
  CFontCache* m_fonts;
  CCalcAreaManager* m_currentManager = nullptr;
  CCalcAreaManagerContainer m_managers;
  GLUquadric* m_quadric = nullptr;
  CWnd* m_view = nullptr;
  CColorLegend m_legend;
  BOOL m_legendFontReady = FALSE;
  double m_sceneExtent[3] = {0, 0, 0};
  _CALC_RESULTS* m_results = nullptr;
  int m_quantity = -1;
  int m_resultDisplay = 0;
  CGuid m_areaClass;
  double m_labelHeight = 0.2;
  double m_sectionOrigin[3] = {0, 0, 0};
  CColorLevelArray m_colorLevels;
  CRoadLayout m_layout;
  CCameraPresets m_presets;
};

// The document makes this core from now on (null restores the default core); the camera presets are this
// core's while one lives.
void InstallGraphicCore();
