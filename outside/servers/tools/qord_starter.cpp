// Writes the starter catalogues: qord_starter <output .qord> <measured .ies> <output .qorp>
#include "outside/servers/ipole_catalog.h"
#include "outside/servers/photometry.h"
#include "outside/servers/qord_file.h"
#include "outside/servers/starter_catalogue.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: qord_starter <output.qord> <measured.ies> <output.qorp>\n");
    return 2;
  }
  try {
    qorsrv::BuildStarterCatalogue(argv[1], argv[2]);
    qorsrv::BuildStarterPoleCatalogue(argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qord_starter: %s\n", e.what());
    return 1;
  }
  return 0;
}
