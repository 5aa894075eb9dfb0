#include "outside/grafocore/grafocore.h"

#include "outside/grafocore/drawing_block.h"
#include "outside/grafocore/dxf/dxf_reader.h"
#include "outside/grafocore/dxf/dxf_writer.h"
#include "outside/grafocore/export_records.h"
#include "outside/grafocore/export_writer.h"
#include "outside/grafocore/layers_dialog.h"
#include "outside/grafocore/library_state.h"
#include "platform/base/fileops.h"
#include "platform/base/module.h"
#include "platform/gl/wgl.h"
#include "platform/mfc-core/archive.h"
#include "platform/user/msgbox.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace grafocore {

namespace {

// The drawing lies this far below the site's plane, so the site covers it where both are drawn.
constexpr double kDrawingDepth = -0.05;

// AutoCAD colour index to a colour the view's dark ground shows clearly: the nine named colours lightened,
// light grey for the rest.
void AciColour(int index, float rgb[3])
{
  static const float kNamed[10][3] = {{0.75f, 0.75f, 0.75f}, {1.0f, 0.35f, 0.35f}, {1.0f, 1.0f, 0.4f},
                                      {0.4f, 1.0f, 0.4f},    {0.4f, 1.0f, 1.0f},   {0.55f, 0.65f, 1.0f},
                                      {1.0f, 0.45f, 1.0f},   {0.95f, 0.95f, 0.95f}, {0.6f, 0.6f, 0.6f},
                                      {0.8f, 0.8f, 0.8f}};
  const float* c = kNamed[(index >= 1 && index <= 9) ? index : 0];
  std::copy(c, c + 3, rgb);
}

}  // namespace

void Draw()
{
  Project* project = Current();
  if (!project || !wglGetCurrentContext())
    return;
  ViewState& view = State().view;
  glGetDoublev(GL_MODELVIEW_MATRIX, view.modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
  glGetIntegerv(GL_VIEWPORT, view.viewport);
  view.known = true;

  const dxf::Drawing& d = project->drawing;
  const dxf::Point& c = project->centre;
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glLineWidth(1);
  glPointSize(3);
  for (const dxf::Figure& f : d.figures) {
    if (f.layer < 0 || static_cast<size_t>(f.layer) >= d.layers.size() || !d.layers[f.layer].on || f.points.empty())
      continue;
    float rgb[3];
    AciColour(d.ColourOf(f), rgb);
    glColor3fv(rgb);
    if (f.kind == dxf::FigureKind::Polyline) {
      glBegin(f.closed ? GL_LINE_LOOP : GL_LINE_STRIP);
      for (const dxf::Point& p : f.points)
        glVertex3d(p.x - c.x, p.y - c.y, kDrawingDepth);
      glEnd();
    } else {
      // Texts show where they stand; their letters belong to a printed plan, not to the background.
      glBegin(GL_POINTS);
      glVertex3d(f.points[0].x - c.x, f.points[0].y - c.y, kDrawingDepth);
      glEnd();
    }
  }
  glPopAttrib();
}

void SetWindow(HWND view) { State().window = view; }

void SetViewMode(int) {}

void OnWindowSize(UINT, int, int) {}

void ApplyView(double*, double*, double*, double*) {}

void SetCurrentProject(int id) { State().projects.current = id; }

void CloneProject(int* id)
{
  if (!id)
    return;
  Library& l = State();
  const auto found = l.projects.byId.find(*id);
  if (found == l.projects.byId.end()) {
    *id = 0;
    return;
  }
  auto copy = std::make_shared<Project>(*found->second);
  *id = NewId();
  l.projects.byId[*id] = std::move(copy);
}

const char* GetProjectFilePath(int id)
{
  Library& l = State();
  const auto found = l.projects.byId.find(id);
  return found == l.projects.byId.end() ? "" : found->second->path.c_str();
}

int ExportData(const char* path, void* exportList, int flags, int)
{
  if (!path || !exportList)
    return 0;
  const Project* project = Current();
  const std::string bytes = WriteExportDxf(*static_cast<const nsExp::CExportList*>(exportList), flags,
                                           project ? &project->drawing : nullptr,
                                           project ? project->centre : dxf::Point{});
  // Written whole or not at all: an existing file stays as it was when the disk is full or the folder closed.
  if (const int error = platform::WriteFileWhole(path, bytes); error != 0) {
    const std::string message = std::string("Не удается записать файл ") + path + ": " +
                                platform::WriteFailureReason(error) + ". Экспорт не выполнен.";
    MessageBox(State().window, message.c_str(), nullptr, MB_OK | MB_ICONHAND);
    return 0;
  }
  return 1;
}

int ObjectSnap(int, int x, int y, double* worldX, double* worldY, double* worldZ)
{
  const Project* project = Current();
  const ViewState& view = State().view;
  if (!project || !view.known || !worldX || !worldY || !worldZ)
    return 0;
  // Window rows run down, the viewport's up.
  const double clickX = x, clickY = view.viewport[1] + view.viewport[3] - y;
  const dxf::Point& c = project->centre;
  double best = kSnapPixels * kSnapPixels;
  const dxf::Point* found = nullptr;
  for (const dxf::Point& p : project->drawing.snapPoints) {
    double wx, wy, wz;
    if (gluProject(p.x - c.x, p.y - c.y, kDrawingDepth, view.modelview, view.projection, view.viewport, &wx, &wy,
                   &wz) != GL_TRUE)
      continue;
    const double d2 = (wx - clickX) * (wx - clickX) + (wy - clickY) * (wy - clickY);
    if (d2 <= best) {
      best = d2;
      found = &p;
    }
  }
  if (!found)
    return 0;
  *worldX = found->x - c.x;
  *worldY = found->y - c.y;
  *worldZ = 0;
  return 1;
}

void OpenLayersManager()
{
  if (Project* project = Current())
    RunLayersDialog(State().window, project->drawing);
}

int DeleteProject(int id)
{
  Library& l = State();
  if (l.projects.current == id)
    l.projects.current = 0;
  return l.projects.byId.erase(id) ? 1 : 0;
}

int OpenDXFFile(const char* path, int* id)
{
  auto project = std::make_shared<Project>();
  const dxf::ReadResult result = path ? dxf::ReadDxfFile(path, project->drawing) : dxf::ReadResult{};
  if (!path || !result.Ok()) {
    if (path)
      MessageBox(State().window, result.Message().c_str(), nullptr, MB_OK | MB_ICONHAND);
    if (id)
      *id = 0;
    return 0;
  }
  project->path = path;
  project->centre = CentreOf(project->drawing);
  Library& l = State();
  const int newId = NewId();
  l.projects.byId[newId] = std::move(project);
  l.projects.current = newId;
  if (id)
    *id = newId;
  return newId;
}

int GetProjectDimentions(double* length, double* width, double* height)
{
  double size[3] = {0, 0, 0};
  if (const Project* project = Current()) {
    const dxf::Point min = project->drawing.Min(), max = project->drawing.Max();
    if (min.x <= max.x)
      size[0] = max.x - min.x, size[1] = max.y - min.y, size[2] = max.z - min.z;
  }
  double* out[3] = {length, width, height};
  for (int i = 0; i < 3; ++i)
    if (out[i])
      *out[i] = size[i];
  return 0;
}

int GetProjectPosition(double* x, double* y, double* z)
{
  const Project* project = Current();
  const dxf::Point c = project ? project->centre : dxf::Point{};
  double* out[3] = {x, y, z};
  const double value[3] = {c.x, c.y, c.z};
  for (int i = 0; i < 3; ++i)
    if (out[i])
      *out[i] = value[i];
  return 0;
}

bool SetLayerShown(const char* name, bool shown)
{
  Project* project = Current();
  const int layer = project && name ? project->drawing.FindLayer(name) : -1;
  if (layer < 0)
    return false;
  project->drawing.layers[layer].on = shown;
  return true;
}

bool IsLayerShown(const char* name)
{
  const Project* project = Current();
  const int layer = project && name ? project->drawing.FindLayer(name) : -1;
  return layer >= 0 && project->drawing.layers[layer].on;
}

namespace {

struct Export {
  const char* name;
  void* address;
};

const Export kExports[] = {
    {"Draw", reinterpret_cast<void*>(&Draw)},
    {"SetWindow", reinterpret_cast<void*>(&SetWindow)},
    {"SetViewMode", reinterpret_cast<void*>(&SetViewMode)},
    {"OnWindowSize", reinterpret_cast<void*>(&OnWindowSize)},
    {"ApplyView", reinterpret_cast<void*>(&ApplyView)},
    {"SetCurrentProject", reinterpret_cast<void*>(&SetCurrentProject)},
    {"DeleteObjects", reinterpret_cast<void*>(&DeleteObjects)},
    {"Serialize", reinterpret_cast<void*>(&Serialize)},
    {"CloneProject", reinterpret_cast<void*>(&CloneProject)},
    {"GetProjectFilePath", reinterpret_cast<void*>(&GetProjectFilePath)},
    {"ExportData", reinterpret_cast<void*>(&ExportData)},
    {"ObjectSnap", reinterpret_cast<void*>(&ObjectSnap)},
    {"DeleteProject", reinterpret_cast<void*>(&DeleteProject)},
    {"OpenDXFFile", reinterpret_cast<void*>(&OpenDXFFile)},
    {"GetProjectDimentions", reinterpret_cast<void*>(&GetProjectDimentions)},
    {"GetProjectPosition", reinterpret_cast<void*>(&GetProjectPosition)},
    {"OpenLayersManager", reinterpret_cast<void*>(&OpenLayersManager)},
};
constexpr int kExportCount = static_cast<int>(sizeof kExports / sizeof kExports[0]);

}  // namespace

void* GetExport(const char* name)
{
  for (const Export& e : kExports)
    if (name && std::strcmp(e.name, name) == 0)
      return e.address;
  return nullptr;
}

void RegisterLibrary(std::initializer_list<std::string_view> absentExports)
{
  platform::ModuleSymbols symbols;
  for (const Export& e : kExports)
    if (std::find(absentExports.begin(), absentExports.end(), std::string_view(e.name)) == absentExports.end())
      symbols.emplace(e.name, e.address);
  platform::RegisterModule(kModuleName, std::move(symbols));
}

const char* const* ExportNames(int* count)
{
  static const auto names = [] {
    std::array<const char*, kExportCount> all{};
    for (int i = 0; i < kExportCount; ++i)
      all[i] = kExports[i].name;
    return all;
  }();
  if (count)
    *count = kExportCount;
  return names.data();
}

}  // namespace grafocore
