// Saving and opening a large project (a thousand straight roads with their pole groups and luminaires) through
// the document, beside the least the same work can cost: save against writing the same bytes from memory, open
// against reading the file into memory. Wall time, the median of several runs per side. Then where the bytes of
// a default straight road go.
#include "document/qor_road_doc.h"
#include "document/trace_log.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/shell/shell_services.h"
#include "outside/servers/registration.h"
#include "outside/servers/starter_catalogue.h"
#include "platform/mfc/winapp.h"
#include "res/modules.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kAreas = 1000;
constexpr int kRuns = 5;

class BenchShell : public Shell::CShellServices {
public:
  std::string folder;
  int ShowMessageBox(HWND, LPCSTR, LPCSTR, UINT) override { return Shell::IDOK; }
  CString GetAppDataBinFolder() override { return folder.c_str(); }
  CString GetPluginsFolder() override { return (folder + "plugins/").c_str(); }
};

struct Setup {
  Setup()
  {
    folder = std::filesystem::temp_directory_path().string() + "/tesmira-doc-bench-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    qorsrv::BuildStarterCatalogue(folder + "QorRoad.qord",
                                  TESMIRA_SOURCE_DIR "/outside/servers/data/led-street-2070lm.ies");
    shell.folder = folder;
    res::RegisterModules();
    qorsrv::RegisterServerClasses();
    Shell::SetShellServices(&shell);
    LoggerObjs::InstallLogger(nullptr);
  }
  ~Setup()
  {
    Shell::SetShellServices(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // A new project of `areas` default straight roads.
  std::unique_ptr<CQorRoadDoc> NewProject(int areas)
  {
    auto doc = std::make_unique<CQorRoadDoc>();
    doc->OnNewDocument();
    IProject* project = doc->GetCurrentProject();
    for (int k = 1; k < areas; ++k)
      if (IArea* area = project->InsertAreaAfter(CLSID_CStraightRoad, nullptr))
        area->Release();
    return doc;
  }

  CWinApp app{"Tesmira Road"};
  BenchShell shell;
  std::string folder;
};

double MedianMs(const std::function<void()>& body)
{
  std::vector<double> ms;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    body();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::vector<char> ReadAll(const std::string& path)
{
  std::vector<char> bytes(std::filesystem::file_size(path));
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void WriteAll(const std::string& path, const std::vector<char>& bytes)
{
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

void Row(const char* what, double ms, double floorMs, const char* floorName)
{
  std::printf("%-6s %9.1f ms   %-28s %9.2f ms   ratio %6.1f\n", what, ms, floorName, floorMs, ms / floorMs);
}

// The longest stretch of the file that reads as 8-byte doubles of plausible size (a table of numbers), at any
// byte alignment: [first, end).
std::pair<std::size_t, std::size_t> LongestDoubleTable(const std::vector<char>& bytes)
{
  std::pair<std::size_t, std::size_t> best{0, 0};
  for (std::size_t alignment = 0; alignment < 8; ++alignment) {
    std::size_t start = alignment;
    for (std::size_t i = alignment; i + 8 <= bytes.size(); i += 8) {
      double v;
      std::memcpy(&v, bytes.data() + i, 8);
      const bool plausible = v == 0.0 || (std::fabs(v) > 1e-6 && std::fabs(v) < 1e7);
      if (!plausible)
        start = i + 8;
      else if (i + 8 - start > best.second - best.first)
        best = {start, i + 8};
    }
  }
  return best;
}

// Where the bytes of a one-road project go: the project with one road, what each further road adds, and the
// largest table of numbers in it with the two 32-bit counts written before it.
void ProfileDefaultRoad(Setup& s)
{
  const std::string one = s.folder + "one.qorr5", two = s.folder + "two.qorr5";
  s.NewProject(1)->OnSaveDocument(one.c_str());
  s.NewProject(2)->OnSaveDocument(two.c_str());
  const std::vector<char> bytes = ReadAll(one);
  const double perRoad = static_cast<double>(std::filesystem::file_size(two)) - static_cast<double>(bytes.size());
  std::printf("A default straight road: the one-road project is %zu bytes, each further road adds %.0f.\n",
              bytes.size(), perRoad);
  const auto [first, end] = LongestDoubleTable(bytes);
  std::int32_t counts[2] = {0, 0};
  if (first >= 8)
    std::memcpy(counts, bytes.data() + first - 8, 8);
  std::printf("Of these, %zu bytes (%.0f %%) are one table of %zu doubles at offset %zu, after the counts %d and %d\n"
              "(%d x %d = %lld): by its shape the luminaire's intensity table, every C-plane and gamma of the\n"
              "catalogue's photometry kept in the project as 8-byte numbers. The rest, %zu bytes, is the road, its pole group and settings.\n",
              end - first, 100.0 * (end - first) / bytes.size(), (end - first) / 8, first, counts[0], counts[1],
              counts[0], counts[1], static_cast<long long>(counts[0]) * counts[1], bytes.size() - (end - first));
}

}  // namespace

int main()
{
  Setup s;
  std::unique_ptr<CQorRoadDoc> doc = s.NewProject(kAreas);
  const std::string path = s.folder + "large.qorr5", copy = s.folder + "large-copy.qorr5";
  doc->OnSaveDocument(path.c_str());
  const std::vector<char> bytes = ReadAll(path);
  std::printf("Project of %d straight roads: %.1f MB. Median of %d runs per figure (wall time); target: each ratio"
              " at most 4.\n",
              kAreas, bytes.size() / 1e6, kRuns);
  const double save = MedianMs([&] { doc->OnSaveDocument(path.c_str()); });
  const double write = MedianMs([&] { WriteAll(copy, bytes); });
  const double open = MedianMs([&] { doc->OnOpenDocument(path.c_str()); });
  // Into a buffer already in memory: fresh pages cost a fault each, which on a virtual machine can outweigh the
  // reading many times over.
  std::vector<char> buffer(bytes.size());
  const double read = MedianMs([&] {
    std::ifstream in(path, std::ios::binary);
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  });
  Row("save", save, write, "same bytes from memory");
  Row("open", open, read, "file read into a buffer");
  doc.reset();
  ProfileDefaultRoad(s);
  return 0;
}
