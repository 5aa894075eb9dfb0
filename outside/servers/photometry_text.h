// What the two photometric readers share: lines and numbers of a text file, taken as hostile input.
#pragma once

#include "outside/servers/photometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorsrv::detail {

// The lines of a text without their ends: LF, CR LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text);
std::string_view Trim(std::string_view s);
// A number in the C locale; a decimal comma is taken as a point, as some EULUMDAT writers use one.
std::optional<double> ParseNumber(std::string_view token);
// File texts as UTF-8: kept when they already are, else read as Latin-1 (what makers' files mostly are).
std::string TextToUtf8(std::string_view raw);
// Common last step of both readers: validation, then refusals of a lamp flux below 1 lm, of a table whose flux
// integral is not finite, and of a light output ratio above 300 % (at the lamp flux's line or the table's first
// line), and the warnings. Lines are 1-based.
void FinishImport(Photometry& p, const std::string& name, int lampFluxLine, int tableLine);
// Angles ascend strictly; a file whose angles do not is refused.
bool StrictlyAscending(const std::vector<double>& angles);

}  // namespace qorsrv::detail
