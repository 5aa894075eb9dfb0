#include "tests/outside/grafocore/dxf_test_support.h"

#include <cstdio>
#include <sys/wait.h>

namespace testsupport {

std::string ArtifactPath(const std::string& name) { return std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name; }

int RunPython(const std::string& script, const std::vector<std::string>& args, std::string* out)
{
  // ezdxf is Debian's package: the system Python, whatever python3 the PATH finds first.
  std::string command = "/usr/bin/python3 '" + std::string(TESMIRA_SOURCE_DIR) + "/tests/outside/grafocore/data/" +
                        script + "'";
  for (const std::string& arg : args)
    command += " '" + arg + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe)
    return -1;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    if (out)
      out->append(buffer, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
