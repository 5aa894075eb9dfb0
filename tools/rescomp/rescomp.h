// The resource compiler: scripts of one module in, one C++ source with the module's tables out.
// Texts are UTF-8 in the scripts and code page 1251 in the tables, as the program uses them.
#pragma once

#include "tools/rescomp/script.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rescomp {

struct StringEntry {
  std::uint16_t id;
  std::string name;  // symbolic name, may be empty
  std::string text;  // code page 1251
  std::string file;
  int line;
};

struct MenuItemEntry {
  int depth = 0;  // a popup's items follow it, one deeper
  bool popup = false;
  bool separator = false;
  bool grayed = false;
  bool checked = false;
  std::uint16_t id = 0;  // command id; 0 for popups and separators
  std::string text;      // code page 1251
};

struct MenuEntry {
  std::uint16_t id;
  std::string name;
  std::vector<MenuItemEntry> items;  // top to bottom, popups before their items
};

// The accelerator bits as the platform's ACCEL keeps them.
inline constexpr std::uint8_t kAccelVirtKey = 0x01;
inline constexpr std::uint8_t kAccelShift = 0x04;
inline constexpr std::uint8_t kAccelControl = 0x08;
inline constexpr std::uint8_t kAccelAlt = 0x10;

struct AcceleratorEntry {
  std::uint8_t flags;
  std::uint16_t key;  // virtual key, or code page 1251 character without kAccelVirtKey
  std::uint16_t command;
};

struct AcceleratorTableEntry {
  std::uint16_t id;
  std::string name;
  std::vector<AcceleratorEntry> entries;
};

// Resource types by their platform numbers.
inline constexpr std::uint16_t kTypeCursor = 1;
inline constexpr std::uint16_t kTypeBitmap = 2;
inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeDialog = 5;
inline constexpr std::uint16_t kTypeGroupCursor = 12;
inline constexpr std::uint16_t kTypeGroupIcon = 14;
inline constexpr std::uint16_t kTypeToolbar = 241;

struct DialogItemEntry {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::int32_t id = 0;      // -1 for controls nobody addresses
  std::uint16_t atom = 0;   // predefined class ordinal, or 0 with className
  std::string className;
  std::string text;         // code page 1251
};

struct DialogEntry {
  bool extended = false;  // DIALOGEX: the DLGTEMPLATEEX form
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::string className;  // empty: the dialog class
  std::string caption;    // code page 1251
  bool hasFont = false;
  std::uint16_t pointSize = 0;
  std::uint16_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t charSet = 0;
  std::string face;       // code page 1251
  std::vector<DialogItemEntry> items;
};

// A resource kept as the bytes a program locks: dialogs, bitmaps, icons, cursors, toolbars.
struct BinaryResource {
  std::uint16_t type;
  std::uint16_t id;
  std::vector<std::uint8_t> bytes;
};

struct NamedId {
  std::string name;
  std::uint16_t value;
};

struct Module {
  std::string name;                  // as the generated symbol knows it: "program", "toolkit"
  std::vector<StringEntry> strings;  // sorted by id
  std::vector<MenuEntry> menus = {};                       // sorted by id
  std::vector<AcceleratorTableEntry> accelerators = {};    // sorted by id
  std::vector<BinaryResource> resources = {};             // sorted by type, then id
  std::vector<NamedId> names = {};   // every symbolic name of the module, by value then name
};

struct SourceFile {
  std::string path;
  std::string contents;
};

// Compiles the scripts into the module; returns false with diagnostics when any script is wrong.
bool CompileModule(const std::vector<SourceFile>& sources, Module& module, std::vector<Diagnostic>& diagnostics);

// The C++ source defining `const platform::ResourceModuleData& res::<Name>Module()` (Name capitalised).
std::string GenerateSource(const Module& module, const std::string& moduleFileName);
// The header declaring the module's symbolic ids (strings, resources and commands) in namespace res::<name>.
std::string GenerateIdsHeader(const Module& module);

}  // namespace rescomp
