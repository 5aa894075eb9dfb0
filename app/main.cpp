// The program's entry: the one application object and the framework's start.
#include "app/qor_road_app.h"
#include "platform/base/codepage.h"

#include <string>
#include <vector>

namespace {

CQorRoadApp theApp;

// The desktop hands file names over in UTF-8; the program reads cp1251. A name that is not UTF-8 came from an
// older desktop in the program's own code page and is kept. False when cp1251 cannot spell it: `name` then holds
// it with '?' for what is missing, to be shown.
bool NameInCp1251(const std::string& utf8, std::string& name)
{
  const std::u16string wide = codepage::Utf8ToUtf16(utf8);
  if (codepage::Utf16ToUtf8(wide) != utf8) {
    name = utf8;
    return true;
  }
  name = codepage::Utf16ToCp1251(wide);
  for (char16_t c : wide) {
    if (codepage::Cp1251FromUnicode(c) == '?' && c != u'?') {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  std::string commandLine;
  std::vector<std::string> unreadable;
  for (int i = 1; i < argc; ++i) {
    std::string argument;
    if (!NameInCp1251(argv[i], argument)) {
      unreadable.push_back(argument);
      continue;
    }
    if (!commandLine.empty())
      commandLine += ' ';
    commandLine += argument.find(' ') == std::string::npos ? argument : "\"" + argument + "\"";
  }
  // The program goes on without such a file, as with no file at all: a new project.
  for (const std::string& name : unreadable) {
    const std::string text = "Имя файла \"" + name +
                             "\" содержит знаки, которых нет в кодировке Windows-1251 (показаны как \"?\"). "
                             "Программа не может открыть этот файл.\n\n"
                             "Переименуйте файл, используя только русские и латинские буквы, цифры и знаки "
                             "препинания.";
    MessageBox(nullptr, text.c_str(), "Tesmira Road", MB_OK | MB_ICONWARNING);
  }
  return AfxWinMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
}
