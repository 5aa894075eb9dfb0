// What the DXF tests share: the artifacts folder and ezdxf, the independent reader and writer, run as a script.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

std::string ArtifactPath(const std::string& name);
// Runs tests/outside/grafocore/data/<script> with the system's Python; its standard output into *out when
// given. The script's exit code.
int RunPython(const std::string& script, const std::vector<std::string>& args, std::string* out);

}  // namespace testsupport
