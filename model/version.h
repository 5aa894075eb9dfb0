// The format version word every serialised model object receives: major.minor.build.revision, one byte each,
// major in the high byte. A field a class added at version V is read only from files at V or later.
#pragma once

#include "platform/base/wintypes.h"

namespace ObjectModel {

constexpr DWORD MakeFormatVersion(unsigned major, unsigned minor, unsigned build, unsigned revision)
{
  return (static_cast<DWORD>(major & 0xFF) << 24) | (static_cast<DWORD>(minor & 0xFF) << 16) |
         (static_cast<DWORD>(build & 0xFF) << 8) | static_cast<DWORD>(revision & 0xFF);
}

// What this program writes, and the oldest project file it reads.
inline constexpr DWORD kCurrentFormatVersion = MakeFormatVersion(6, 0, 42, 0);
inline constexpr DWORD kOldestFormatVersion = MakeFormatVersion(4, 0, 0, 0);

// Compared as unsigned 32-bit words: the packing keeps that order equal to the version order.
constexpr bool IsVersionAtLeast(DWORD fileVersion, DWORD gate) { return fileVersion >= gate; }

// Held while a project block is read on this thread: every object made for it is then filled from the file, so
// its defaults skip what only the catalogue and price databases could tell it. An inner scope keeps the outer
// one's version.
class ProjectReadScope {
public:
  explicit ProjectReadScope(DWORD fileVersion) : m_outer(t_version)
  {
    if (t_version == 0)
      t_version = fileVersion;
  }
  ~ProjectReadScope() { t_version = m_outer; }
  ProjectReadScope(const ProjectReadScope&) = delete;
  ProjectReadScope& operator=(const ProjectReadScope&) = delete;

  // The version of the file being read, 0 when none is.
  static DWORD Version() { return t_version; }

private:
  static inline thread_local DWORD t_version = 0;
  DWORD m_outer;
};

}  // namespace ObjectModel
