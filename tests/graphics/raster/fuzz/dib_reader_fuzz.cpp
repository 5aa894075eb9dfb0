// libFuzzer target: the BMP reader and the raster record of the project file on arbitrary bytes. Whatever the
// bytes, a file is read whole or refused, and a record is read whole or raises the archive's error; neither
// crashes, leaks, allocates what the bytes merely claim, nor writes past its picture. A picture read is laid on
// its tiles and its record written and read back with the same pixels.
#include "graphics/raster/dib_from_file.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc/msgbox.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The reader's neighbours: no window shows a message or a progress, and no GL context is ever current.
int AfxMessageBox(LPCSTR, UINT, UINT) { return IDOK; }
LRESULT SendMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
BOOL ShowWindow(HWND, int) { return FALSE; }
bool HasCurrentGlContext() { return false; }

namespace {

const std::string& FilePath()
{
  static const std::string path = [] {
    char name[] = "/tmp/dib-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
      std::abort();
    close(fd);
    return std::string(name);
  }();
  return path;
}

bool SamePixels(const CWiseDib& a, const CWiseDib& b)
{
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
    return false;
  for (int r = 0; r < a.GetHeight(); ++r)
    if (std::memcmp(a.PixelAt(0, r), b.PixelAt(0, r), static_cast<std::size_t>(a.GetWidth()) * 3) != 0)
      return false;
  return true;
}

void ReadBmp(const std::uint8_t* data, std::size_t size)
{
  std::FILE* f = std::fopen(FilePath().c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
    std::abort();
  CDibFromFile raster;
  if (!raster.LoadBmp(FilePath().c_str(), nullptr))
    return;
  const std::int64_t pixels = std::int64_t{raster.GetWidth()} * raster.GetHeight();
  if (raster.GetWidth() <= 0 || raster.GetHeight() <= 0 || pixels > CDibFromFile::kMaxPixels ||
      pixels * 3 > static_cast<std::int64_t>(size))
    std::abort();
  raster.PadToTiles(256);
  raster.SetGeometry(10, 10);
  raster.MakeTiles();
  if (raster.GetTiles().size() != static_cast<std::size_t>(raster.m_across) * raster.m_down)
    std::abort();

  CMemFile out;
  {
    CArchive ar(&out, CArchive::store);
    raster.Serialize(ar);
    ar.Close();
  }
  const UINT length = static_cast<UINT>(out.GetLength());
  BYTE* written = out.Detach();
  CDibFromFile again;
  {
    CMemFile in(written, length);
    CArchive ar(&in, CArchive::load);
    again.Serialize(ar);
  }
  std::free(written);
  if (!SamePixels(raster, again) || again.GetTiles().size() != raster.GetTiles().size())
    std::abort();
}

void ReadRecord(const std::uint8_t* data, std::size_t size)
{
  CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
  CDibFromFile raster;
  try {
    CArchive ar(&file, CArchive::load);
    raster.Serialize(ar);
    ar.Close();
  } catch (CException* e) {
    e->Delete();
    return;
  }
  // Every pixel the header names lies inside the picture read.
  unsigned sum = 0;
  for (int r = 0; r < raster.GetHeight(); ++r)
    for (int c = 0; c < raster.GetWidth(); ++c)
      sum += raster.PixelAt(c, r)[0] + raster.PixelAt(c, r)[1] + raster.PixelAt(c, r)[2];
  volatile unsigned keep = sum;
  (void)keep;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  ReadBmp(data, size);
  ReadRecord(data, size);
  return 0;
}
