// The link to the outside graphics library (GrafoCore): loaded once from the program's library folder, each
// export looked up by name when it is used (Draw once, at load), each call skipped when the library or the export
// is missing. The render core derives from it.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"

class CArchive;
class CWnd;
struct IArea;

namespace nsExp {
class CExportList;
}

inline constexpr char kGraphicsLibraryFile[] = "GrafoCore.dll";
// Ids of the library's projects carry this bit; any other underlay id is a raster's.
inline constexpr int kLibraryProjectBit = 0x1000;

class CGraphicsDllMediator {
public:
  // Loads the library from the shell's library folder; a failed load leaves every call a no-op.
  CGraphicsDllMediator();
  virtual ~CGraphicsDllMediator();
  CGraphicsDllMediator(const CGraphicsDllMediator&) = delete;
  CGraphicsDllMediator& operator=(const CGraphicsDllMediator&) = delete;

  virtual void SetWindow(CWnd* view);
  virtual void OnWindowSize(UINT type, int cx, int cy);
  virtual void SetViewMode(int viewType);
  virtual int BuildExportData(IArea* area, nsExp::CExportList* list, int flags) = 0;

  BOOL IsLibraryLoaded() const { return m_library != nullptr; }
  BOOL HasExport(const char* name) const { return FindExport(name) != nullptr; }

  // The library's exports; a missing one is skipped with the answer given.
  void Draw();
  void SetWindowHandle(HWND view);
  void ApplyView(double* x, double* y, double* z, double* farPlane);
  void SetCurrentProject(int id);
  void DeleteObjects();
  // The library's "Serialize". Missing: nothing read or written, 0 (its part read).
  int SerializeLibraryPart(CArchive* archive, int version);
  // Missing: the id is left as it is.
  void CloneProject(int* id);
  // Missing: an empty path.
  CString GetProjectFilePath(int id);
  // False when the file was not written (the library has said why).
  bool ExportData(const char* path, nsExp::CExportList* list, int flags);
  // Nonzero when the window point snaps to the world point written to x, y, z; missing: not snapped.
  int ObjectSnap(int mouseFlags, int x, int y, double* worldX, double* worldY, double* worldZ);
  void DeleteProject(int id);
  // Missing: the id is left as it is.
  void OpenDXFFile(const char* path, int* id);
  void GetProjectDimentions(double* x, double* y, double* z);
  void GetProjectPosition(double* x, double* y, double* z);
  void OpenLayersManager();

protected:
  // Underlay id of the active area, filled by the render core.
  int m_underlayId = 0;

private:
  // Null when the library is absent or lacks the export.
  void* FindExport(const char* name) const;

  HMODULE m_library = nullptr;
  void (*m_draw)() = nullptr;
};
