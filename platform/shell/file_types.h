// The program's document types made known to the desktop for this user only: a shared-MIME-info package and a
// desktop entry that opens them with the program, under $XDG_DATA_HOME. A file is written only when its text
// differs from what stands there, so a start that changes nothing touches nothing.
#pragma once

#include <string>
#include <vector>

namespace shell {

struct FileType {
  std::string mimeType;     // "application/x-qorroad-project"
  std::string description;  // UTF-8
  std::string extension;    // ".qorr5"
};

struct FileTypeRegistration {
  std::string id;           // the package and desktop entry's file name without extension
  std::string programName;  // UTF-8
  std::string executable;   // file-system path of the program
  std::vector<FileType> types;
};

// The two files' texts, as they are written.
std::string MimePackageText(const FileTypeRegistration& registration);
std::string DesktopEntryText(const FileTypeRegistration& registration);

// Writes what differs; answers how many files were written, -1 when one could not be.
int RegisterUserFileTypes(const FileTypeRegistration& registration);

}  // namespace shell
