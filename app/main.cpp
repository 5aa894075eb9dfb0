// The program's entry: the one application object and the framework's start.
#include "app/qor_road_app.h"

namespace {

CQorRoadApp theApp;

}  // namespace

int main(int argc, char** argv)
{
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1)
      commandLine += ' ';
    const std::string argument = argv[i];
    commandLine += argument.find(' ') == std::string::npos ? argument : "\"" + argument + "\"";
  }
  return AfxWinMain(nullptr, nullptr, commandLine.data(), SW_SHOWNORMAL);
}
