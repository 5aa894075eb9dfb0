// Window and control style flags by name, as dialog scripts write them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rescomp {

struct StyleFlag {
  const char* name;
  std::uint32_t value;
};

// A window class a dialog script may name, with the flags that belong to it.
struct ControlClass {
  const char* name;
  std::uint16_t atom;  // the predefined class's ordinal in a template, 0 for classes written by name
  std::vector<StyleFlag> flags;  // besides the WS_ ones every window has
};

// The classes a CONTROL may name unquoted (in any case); any other class is written as a quoted text.
const std::vector<ControlClass>& KnownClasses();
const ControlClass* FindClass(const std::string& name);

// Where a flag named in a style list goes.
struct StyleValue {
  std::uint32_t value;
  bool extended;  // WS_EX_: the extended style
};

// WS_ and WS_EX_ flags, then `own` (the control's class flags or the dialog's DS_ flags); nothing when unknown.
std::optional<StyleValue> FindStyle(const std::string& name, const std::vector<StyleFlag>* own);

// The DS_ flags of a dialog's own STYLE.
const std::vector<StyleFlag>& DialogFlags();

// Every flag of every table, for tests that compare them with the platform's values.
std::vector<StyleFlag> AllStyleFlags();

}  // namespace rescomp
