#include "graphics/core/graphics_dll_mediator.h"

#include "model/shell/shell_services.h"
#include "platform/base/module.h"
#include "platform/mfc/wnd.h"

namespace {

// The library's function types, as its exports take their arguments.
using DrawFn = void (*)();
using SetWindowFn = void (*)(HWND);
using SetViewModeFn = void (*)(int);
using OnWindowSizeFn = void (*)(UINT, int, int);
using ApplyViewFn = void (*)(double*, double*, double*, double*);
using SetCurrentProjectFn = void (*)(int);
using DeleteObjectsFn = int (*)();
using SerializeFn = int (*)(CArchive*, DWORD);
using CloneProjectFn = void (*)(int*);
using GetProjectFilePathFn = const char* (*)(int);
using ExportDataFn = int (*)(const char*, void*, int, int);
using ObjectSnapFn = int (*)(int, int, int, double*, double*, double*);
using DeleteProjectFn = int (*)(int);
using OpenDXFFileFn = int (*)(const char*, int*);
using GetProjectDimentionsFn = int (*)(double*, double*, double*);
using GetProjectPositionFn = int (*)(double*, double*, double*);
using OpenLayersManagerFn = void (*)();

}  // namespace

CGraphicsDllMediator::CGraphicsDllMediator()
{
  const CString path = Shell::GetBinFolder() + kGraphicsLibraryFile;
  m_library = LoadLibrary(path);
  if (m_library)
    m_draw = reinterpret_cast<DrawFn>(GetProcAddress(m_library, "Draw"));
}

CGraphicsDllMediator::~CGraphicsDllMediator()
{
  if (m_library)
    FreeLibrary(m_library);
}

void* CGraphicsDllMediator::FindExport(const char* name) const
{
  return m_library ? reinterpret_cast<void*>(GetProcAddress(m_library, name)) : nullptr;
}

void CGraphicsDllMediator::SetWindow(CWnd* view)
{
  SetWindowHandle(view ? view->GetSafeHwnd() : nullptr);
}

void CGraphicsDllMediator::OnWindowSize(UINT type, int cx, int cy)
{
  if (auto f = reinterpret_cast<OnWindowSizeFn>(FindExport("OnWindowSize")))
    f(type, cx, cy);
}

void CGraphicsDllMediator::SetViewMode(int viewType)
{
  if (auto f = reinterpret_cast<SetViewModeFn>(FindExport("SetViewMode")))
    f(viewType);
}

void CGraphicsDllMediator::Draw()
{
  if (m_draw)
    m_draw();
}

void CGraphicsDllMediator::SetWindowHandle(HWND view)
{
  if (auto f = reinterpret_cast<SetWindowFn>(FindExport("SetWindow")))
    f(view);
}

void CGraphicsDllMediator::ApplyView(double* x, double* y, double* z, double* farPlane)
{
  if (auto f = reinterpret_cast<ApplyViewFn>(FindExport("ApplyView")))
    f(x, y, z, farPlane);
}

void CGraphicsDllMediator::SetCurrentProject(int id)
{
  if (auto f = reinterpret_cast<SetCurrentProjectFn>(FindExport("SetCurrentProject")))
    f(id);
}

void CGraphicsDllMediator::DeleteObjects()
{
  if (auto f = reinterpret_cast<DeleteObjectsFn>(FindExport("DeleteObjects")))
    f();
}

int CGraphicsDllMediator::SerializeLibraryPart(CArchive* archive, int version)
{
  if (auto f = reinterpret_cast<SerializeFn>(FindExport("Serialize")))
    return f(archive, static_cast<DWORD>(version));
  return 0;
}

void CGraphicsDllMediator::CloneProject(int* id)
{
  if (auto f = reinterpret_cast<CloneProjectFn>(FindExport("CloneProject")))
    f(id);
}

CString CGraphicsDllMediator::GetProjectFilePath(int id)
{
  if (auto f = reinterpret_cast<GetProjectFilePathFn>(FindExport("GetProjectFilePath"))) {
    const char* path = f(id);
    return CString(path ? path : "");
  }
  return CString();
}

bool CGraphicsDllMediator::ExportData(const char* path, nsExp::CExportList* list, int flags)
{
  if (auto f = reinterpret_cast<ExportDataFn>(FindExport("ExportData")))
    return f(path, list, flags, 0) != 0;
  return false;
}

int CGraphicsDllMediator::ObjectSnap(int mouseFlags, int x, int y, double* worldX, double* worldY, double* worldZ)
{
  if (auto f = reinterpret_cast<ObjectSnapFn>(FindExport("ObjectSnap")))
    return f(mouseFlags, x, y, worldX, worldY, worldZ);
  return 0;
}

void CGraphicsDllMediator::DeleteProject(int id)
{
  if (auto f = reinterpret_cast<DeleteProjectFn>(FindExport("DeleteProject")))
    f(id);
}

void CGraphicsDllMediator::OpenDXFFile(const char* path, int* id)
{
  if (auto f = reinterpret_cast<OpenDXFFileFn>(FindExport("OpenDXFFile")))
    f(path, id);
}

void CGraphicsDllMediator::GetProjectDimentions(double* x, double* y, double* z)
{
  if (auto f = reinterpret_cast<GetProjectDimentionsFn>(FindExport("GetProjectDimentions")))
    f(x, y, z);
}

void CGraphicsDllMediator::GetProjectPosition(double* x, double* y, double* z)
{
  if (auto f = reinterpret_cast<GetProjectPositionFn>(FindExport("GetProjectPosition")))
    f(x, y, z);
}

void CGraphicsDllMediator::OpenLayersManager()
{
  if (auto f = reinterpret_cast<OpenLayersManagerFn>(FindExport("OpenLayersManager")))
    f();
}
