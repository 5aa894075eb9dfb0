// The text/uri-list another program drops (UTF-8, one uri a line, "#" lines comments): the local files it names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace user {

// The paths, in code page 1251, of the list's file:// uris on this machine (no host, or "localhost"), in order.
// A uri of another scheme or host, one holding an escaped zero or a bad escape, and a name the code page cannot
// spell are left out.
std::vector<std::string> LocalFilesOfUriList(std::string_view uriList);

}  // namespace user
