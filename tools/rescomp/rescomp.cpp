#include "tools/rescomp/rescomp.h"

#include "platform/base/codepage.h"
#include "tools/rescomp/binary.h"
#include "tools/rescomp/styles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

namespace rescomp {
namespace {

// What a dialog gets without a STYLE line, and what every control gets besides its own flags.
constexpr std::uint32_t kDefaultDialogStyle = 0x80000000u | 0x00800000u | 0x00080000u;  // popup, border, sysmenu
constexpr std::uint32_t kCaptionStyle = 0x00C00000u;
constexpr std::uint32_t kSetFontStyle = 0x0040u;
constexpr std::uint32_t kDefaultControlStyle = 0x40000000u | 0x10000000u;  // child, visible

struct VirtualKey {
  const char* name;
  std::uint16_t value;
};

// The keys an accelerator names; letters and digits are written in quotes with VIRTKEY.
constexpr VirtualKey kVirtualKeys[] = {
    {"VK_BACK", 0x08},     {"VK_TAB", 0x09},       {"VK_CLEAR", 0x0C},     {"VK_RETURN", 0x0D},
    {"VK_PAUSE", 0x13},    {"VK_ESCAPE", 0x1B},    {"VK_SPACE", 0x20},     {"VK_PRIOR", 0x21},
    {"VK_NEXT", 0x22},     {"VK_END", 0x23},       {"VK_HOME", 0x24},      {"VK_LEFT", 0x25},
    {"VK_UP", 0x26},       {"VK_RIGHT", 0x27},     {"VK_DOWN", 0x28},      {"VK_INSERT", 0x2D},
    {"VK_DELETE", 0x2E},   {"VK_HELP", 0x2F},      {"VK_APPS", 0x5D},      {"VK_NUMPAD0", 0x60},
    {"VK_NUMPAD1", 0x61},  {"VK_NUMPAD2", 0x62},   {"VK_NUMPAD3", 0x63},   {"VK_NUMPAD4", 0x64},
    {"VK_NUMPAD5", 0x65},  {"VK_NUMPAD6", 0x66},   {"VK_NUMPAD7", 0x67},   {"VK_NUMPAD8", 0x68},
    {"VK_NUMPAD9", 0x69},  {"VK_MULTIPLY", 0x6A},  {"VK_ADD", 0x6B},       {"VK_SEPARATOR", 0x6C},
    {"VK_SUBTRACT", 0x6D}, {"VK_DECIMAL", 0x6E},   {"VK_DIVIDE", 0x6F},    {"VK_F1", 0x70},
    {"VK_F2", 0x71},       {"VK_F3", 0x72},        {"VK_F4", 0x73},        {"VK_F5", 0x74},
    {"VK_F6", 0x75},       {"VK_F7", 0x76},        {"VK_F8", 0x77},        {"VK_F9", 0x78},
    {"VK_F10", 0x79},      {"VK_F11", 0x7A},       {"VK_F12", 0x7B},       {"VK_OEM_PLUS", 0xBB},
    {"VK_OEM_COMMA", 0xBC}, {"VK_OEM_MINUS", 0xBD}, {"VK_OEM_PERIOD", 0xBE},
};

bool IsKeyword(const Token& token, const char* keyword)
{
  return token.kind == Token::Kind::Name && token.text == keyword;
}

class Compiler {
 public:
  Compiler(Module& module, std::vector<Diagnostic>& diagnostics) : module_(module), diagnostics_(diagnostics) {}

  void Statement(const rescomp::Statement& statement)
  {
    const Token& head = statement.tokens[0];
    if (head.kind == Token::Kind::Name && head.text == "STRINGTABLE") {
      if (statement.tokens.size() > 1) {
        Error(statement, "STRINGTABLE takes nothing on its line");
      }
      for (const auto& entry : statement.children) {
        StringTableEntry(entry);
      }
      return;
    }
    if (IsKeyword(head, "MENU")) {
      Menu(statement);
      return;
    }
    if (IsKeyword(head, "ACCELERATORS")) {
      Accelerators(statement);
      return;
    }
    if (IsKeyword(head, "DIALOG") || IsKeyword(head, "DIALOGEX")) {
      Dialog(statement);
      return;
    }
    if (IsKeyword(head, "BITMAP") || IsKeyword(head, "ICON") || IsKeyword(head, "CURSOR")) {
      Image(statement);
      return;
    }
    if (IsKeyword(head, "TOOLBAR")) {
      Toolbar(statement);
      return;
    }
    Error(statement, "unknown statement '" + head.text + "'");
  }

  void Finish()
  {
    CheckToolbarImages();
    std::sort(module_.strings.begin(), module_.strings.end(),
              [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
    std::sort(module_.menus.begin(), module_.menus.end(),
              [](const MenuEntry& a, const MenuEntry& b) { return a.id < b.id; });
    std::sort(module_.accelerators.begin(), module_.accelerators.end(),
              [](const AcceleratorTableEntry& a, const AcceleratorTableEntry& b) { return a.id < b.id; });
    std::sort(module_.resources.begin(), module_.resources.end(), [](const BinaryResource& a, const BinaryResource& b) {
      return a.type != b.type ? a.type < b.type : a.id < b.id;
    });
    module_.names.clear();
    for (const auto& [name, defined] : names_) {
      module_.names.push_back({name, defined.first});
    }
    std::sort(module_.names.begin(), module_.names.end(), [](const NamedId& a, const NamedId& b) {
      return a.value != b.value ? a.value < b.value : a.name < b.name;
    });
  }

 private:
  using Where = std::map<std::uint16_t, const rescomp::Statement*>;

  static std::string At(const rescomp::Statement* statement)
  {
    return statement->file + ":" + std::to_string(statement->line);
  }

  // A number from 1 to 65535 at tokens[pos], or nothing with the error reported.
  std::optional<std::uint16_t> Id(const rescomp::Statement& statement, std::size_t pos, const std::string& what)
  {
    const auto& tokens = statement.tokens;
    if (pos >= tokens.size() || tokens[pos].kind != Token::Kind::Number) {
      Error(statement, what + " expected" +
                           (pos < tokens.size() ? ", not '" + tokens[pos].text + "'" : std::string()));
      return std::nullopt;
    }
    if (tokens[pos].number < 1 || tokens[pos].number > 0xFFFF) {
      Error(statement, what + " " + tokens[pos].text + " outside 1..65535");
      return std::nullopt;
    }
    return static_cast<std::uint16_t>(tokens[pos].number);
  }

  // A symbolic name may be given again only for the same number: a command's name then stands in the menu,
  // its prompt string and elsewhere alike.
  bool Name(const rescomp::Statement& statement, const std::string& name, std::uint16_t value)
  {
    if (name.empty()) {
      return true;
    }
    auto [it, fresh] = names_.emplace(name, std::make_pair(value, &statement));
    if (!fresh && it->second.first != value) {
      Error(statement, "name " + name + " already defined at " + At(it->second.second));
      return false;
    }
    return true;
  }

  bool Unique(Where& where, const rescomp::Statement& statement, std::uint16_t id, const std::string& what)
  {
    if (auto [it, fresh] = where.emplace(id, &statement); !fresh) {
      Error(statement, what + " " + std::to_string(id) + " already defined at " + At(it->second));
      return false;
    }
    return true;
  }

  std::optional<std::string> Cp1251(const rescomp::Statement& statement, const std::string& utf8,
                                    const std::string& what)
  {
    std::string text = codepage::Utf8ToCp1251(utf8);
    if (codepage::Cp1251ToUtf8(text) != utf8) {
      Error(statement, what + " holds a character that code page 1251 cannot represent");
      return std::nullopt;
    }
    return text;
  }

  // <KIND> <id> [<NAME>]: the opening line of a menu or accelerator table.
  bool Header(const rescomp::Statement& statement, Where& where, std::uint16_t& id, std::string& name)
  {
    const auto& tokens = statement.tokens;
    const std::string& kind = tokens[0].text;
    auto number = Id(statement, 1, kind + " id");
    if (!number) {
      return false;
    }
    id = *number;
    std::size_t pos = 2;
    if (pos < tokens.size() && tokens[pos].kind == Token::Kind::Name) {
      name = tokens[pos++].text;
    }
    if (pos < tokens.size()) {
      Error(statement, "unexpected '" + tokens[pos].text + "' after " + kind + " " + tokens[1].text);
      return false;
    }
    if (statement.children.empty()) {
      Error(statement, kind + " " + tokens[1].text + " has no entries");
      return false;
    }
    return Unique(where, statement, id, kind + " id") && Name(statement, name, id);
  }

  void Menu(const rescomp::Statement& statement)
  {
    MenuEntry menu{};
    if (!Header(statement, menus_, menu.id, menu.name)) {
      return;
    }
    if (MenuLevel(statement, 0, menu.items)) {
      module_.menus.push_back(std::move(menu));
    }
  }

  // The statements of one level; false when any is wrong (all are still checked, to report every error).
  bool MenuLevel(const rescomp::Statement& block, int depth, std::vector<MenuItemEntry>& items)
  {
    bool ok = true;
    for (const auto& child : block.children) {
      const auto& tokens = child.tokens;
      MenuItemEntry item;
      item.depth = depth;
      if (IsKeyword(tokens[0], "POPUP")) {
        ok = Popup(child, depth, items) && ok;
        continue;
      }
      if (child.isBlock) {
        Error(child, tokens[0].text + " cannot stand inside a menu");
        ok = false;
      } else if (IsKeyword(tokens[0], "SEPARATOR")) {
        if (tokens.size() > 1) {
          Error(child, "SEPARATOR takes nothing on its line");
          ok = false;
        }
        item.separator = true;
        items.push_back(item);
      } else if (IsKeyword(tokens[0], "ITEM")) {
        if (Item(child, item)) {
          items.push_back(std::move(item));
        } else {
          ok = false;
        }
      } else {
        Error(child, "unknown menu statement '" + tokens[0].text + "' (known: POPUP ITEM SEPARATOR)");
        ok = false;
      }
    }
    return ok;
  }

  // POPUP "<text>": a level of its own.
  bool Popup(const rescomp::Statement& popup, int depth, std::vector<MenuItemEntry>& items)
  {
    const auto& tokens = popup.tokens;
    if (tokens.size() != 2 || tokens[1].kind != Token::Kind::Text) {
      Error(popup, "POPUP takes one text");
      return false;
    }
    if (tokens[1].text.empty()) {
      Error(popup, "POPUP text is empty");
      return false;
    }
    if (popup.children.empty()) {
      Error(popup, "POPUP \"" + tokens[1].text + "\" has no items");
      return false;
    }
    if (depth + 1 > 255) {
      Error(popup, "menus nest too deep");
      return false;
    }
    auto text = Cp1251(popup, tokens[1].text, "POPUP text");
    if (!text) {
      return false;
    }
    MenuItemEntry item;
    item.depth = depth;
    item.popup = true;
    item.text = std::move(*text);
    items.push_back(std::move(item));
    return MenuLevel(popup, depth + 1, items);
  }

  // ITEM <command id> [<NAME>] "<text>" [GRAYED] [CHECKED]
  bool Item(const rescomp::Statement& statement, MenuItemEntry& item)
  {
    const auto& tokens = statement.tokens;
    auto id = Id(statement, 1, "command id");
    if (!id) {
      return false;
    }
    item.id = *id;
    std::size_t pos = 2;
    std::string name;
    if (pos < tokens.size() && tokens[pos].kind == Token::Kind::Name && tokens[pos].text != "GRAYED" &&
        tokens[pos].text != "CHECKED") {
      name = tokens[pos++].text;
    }
    std::string utf8;
    bool hasText = false;
    for (; pos < tokens.size() && tokens[pos].kind == Token::Kind::Text; ++pos) {
      utf8 += tokens[pos].text;
      hasText = true;
    }
    if (!hasText) {
      Error(statement, "item " + tokens[1].text + " has no text");
      return false;
    }
    // An empty text is how a menu template tells a separator; say SEPARATOR for one.
    if (utf8.empty()) {
      Error(statement, "item " + tokens[1].text + " has an empty text");
      return false;
    }
    for (; pos < tokens.size(); ++pos) {
      bool* option = IsKeyword(tokens[pos], "GRAYED")    ? &item.grayed
                     : IsKeyword(tokens[pos], "CHECKED") ? &item.checked
                                                         : nullptr;
      if (option == nullptr) {
        Error(statement, "unexpected '" + tokens[pos].text + "' after the text of item " + tokens[1].text +
                             " (known: GRAYED CHECKED)");
        return false;
      }
      if (*option) {
        Error(statement, tokens[pos].text + " given twice");
        return false;
      }
      *option = true;
    }
    auto text = Cp1251(statement, utf8, "item " + tokens[1].text);
    if (!text || !Name(statement, name, item.id)) {
      return false;
    }
    item.text = std::move(*text);
    return true;
  }

  void Accelerators(const rescomp::Statement& statement)
  {
    AcceleratorTableEntry table{};
    if (!Header(statement, accelerators_, table.id, table.name)) {
      return;
    }
    bool ok = true;
    // Where each key with its modifiers was first given: a second entry for it could never be reached.
    std::map<std::pair<std::uint8_t, std::uint16_t>, const rescomp::Statement*> keys;
    for (const auto& child : statement.children) {
      AcceleratorEntry entry{};
      if (!Accelerator(child, entry)) {
        ok = false;
        continue;
      }
      auto [it, fresh] = keys.emplace(std::make_pair(entry.flags, entry.key), &child);
      if (!fresh) {
        Error(child, "the same key is given at " + At(it->second));
        ok = false;
        continue;
      }
      table.entries.push_back(entry);
    }
    if (ok) {
      module_.accelerators.push_back(std::move(table));
    }
  }

  // <"key" | VK_name> <command id> [VIRTKEY] [CONTROL] [SHIFT] [ALT]
  bool Accelerator(const rescomp::Statement& statement, AcceleratorEntry& entry)
  {
    const auto& tokens = statement.tokens;
    if (statement.isBlock) {
      Error(statement, tokens[0].text + " cannot stand inside ACCELERATORS");
      return false;
    }
    std::string key;  // code page 1251, for a quoted key
    if (tokens[0].kind == Token::Kind::Name) {
      auto vk = std::find_if(std::begin(kVirtualKeys), std::end(kVirtualKeys),
                             [&](const VirtualKey& k) { return tokens[0].text == k.name; });
      if (vk == std::end(kVirtualKeys)) {
        Error(statement, "unknown key '" + tokens[0].text + "' (a VK_ name or a character in quotes)");
        return false;
      }
      // A named key is a virtual key whether or not VIRTKEY is written.
      entry.flags = kAccelVirtKey;
      entry.key = vk->value;
    } else if (tokens[0].kind == Token::Kind::Text) {
      auto text = Cp1251(statement, tokens[0].text, "the key");
      if (!text) {
        return false;
      }
      if (text->size() != 1) {
        Error(statement, "a key in quotes is one character, not \"" + tokens[0].text + "\"");
        return false;
      }
      key = *text;
      entry.key = static_cast<unsigned char>(key[0]);
    } else {
      Error(statement, "an accelerator starts with its key, not '" + tokens[0].text + "'");
      return false;
    }
    auto command = Id(statement, 1, "command id");
    if (!command) {
      return false;
    }
    entry.command = *command;
    constexpr std::pair<const char*, std::uint8_t> kOptions[] = {
        {"VIRTKEY", kAccelVirtKey}, {"CONTROL", kAccelControl}, {"SHIFT", kAccelShift}, {"ALT", kAccelAlt}};
    std::uint8_t given = 0;
    for (std::size_t pos = 2; pos < tokens.size(); ++pos) {
      auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                 [&](const auto& o) { return IsKeyword(tokens[pos], o.first); });
      if (option == std::end(kOptions)) {
        Error(statement, "unexpected '" + tokens[pos].text + "' (known: VIRTKEY CONTROL SHIFT ALT)");
        return false;
      }
      if ((given & option->second) != 0) {
        Error(statement, tokens[pos].text + " given twice");
        return false;
      }
      given |= option->second;
    }
    entry.flags |= given;
    if (!key.empty() && (entry.flags & kAccelVirtKey) != 0) {
      // The virtual key of a letter or digit is its upper-case character; anything else in quotes would
      // silently be some other key ("n" is VK_DECIMAL).
      char c = key[0];
      if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
        Error(statement, "a VIRTKEY key in quotes is a letter A-Z or a digit; name other keys with VK_");
        return false;
      }
    }
    // A character accelerator sees the typed character, which Ctrl and Shift have already changed.
    if ((entry.flags & kAccelVirtKey) == 0 && (entry.flags & (kAccelControl | kAccelShift)) != 0) {
      Error(statement, "CONTROL and SHIFT need VIRTKEY");
      return false;
    }
    return true;
  }

  // <id> [<NAME>] "<text>" ["<text>" ...]: adjacent texts are joined, so long texts can be split.
  void StringTableEntry(const rescomp::Statement& entry)
  {
    const auto& tokens = entry.tokens;
    if (entry.isBlock) {
      Error(entry, tokens[0].text + " cannot stand inside STRINGTABLE");
      return;
    }
    if (tokens[0].kind != Token::Kind::Number) {
      Error(entry, "a string entry starts with its id, not '" + tokens[0].text + "'");
      return;
    }
    if (tokens[0].number < 1 || tokens[0].number > 0xFFFF) {
      Error(entry, "string id " + tokens[0].text + " outside 1..65535");
      return;
    }
    std::size_t pos = 1;
    std::string name;
    if (pos < tokens.size() && tokens[pos].kind == Token::Kind::Name) {
      name = tokens[pos++].text;
    }
    if (pos == tokens.size()) {
      Error(entry, "string " + tokens[0].text + " has no text");
      return;
    }
    std::string utf8;
    for (; pos < tokens.size(); ++pos) {
      if (tokens[pos].kind != Token::Kind::Text) {
        Error(entry, "unexpected '" + tokens[pos].text + "' after the text of string " + tokens[0].text);
        return;
      }
      utf8 += tokens[pos].text;
    }
    // An empty string cannot be told from a missing one by LoadString; leaving the id out says so honestly.
    if (utf8.empty()) {
      Error(entry, "string " + tokens[0].text + " is empty; leave the id out instead");
      return;
    }
    std::string text = codepage::Utf8ToCp1251(utf8);
    if (codepage::Cp1251ToUtf8(text) != utf8) {
      Error(entry, "string " + tokens[0].text + " holds a character that code page 1251 cannot represent");
      return;
    }
    auto id = static_cast<std::uint16_t>(tokens[0].number);
    if (auto [it, fresh] = ids_.emplace(id, &entry); !fresh) {
      Error(entry, "string id " + tokens[0].text + " already defined at " + At(it->second));
      return;
    }
    if (!Name(entry, name, id)) {
      return;
    }
    module_.strings.push_back({id, name, std::move(text), entry.file, entry.line});
  }

  // A number in [low, high] at tokens[pos], or nothing with the error reported.
  std::optional<std::int64_t> Number(const rescomp::Statement& statement, std::size_t pos, const std::string& what,
                                     std::int64_t low, std::int64_t high)
  {
    const auto& tokens = statement.tokens;
    if (pos >= tokens.size() || tokens[pos].kind != Token::Kind::Number) {
      Error(statement, what + " expected" +
                           (pos < tokens.size() ? ", not '" + tokens[pos].text + "'" : std::string()));
      return std::nullopt;
    }
    if (tokens[pos].number < low || tokens[pos].number > high) {
      Error(statement, what + " " + tokens[pos].text + " outside " + std::to_string(low) + ".." +
                           std::to_string(high));
      return std::nullopt;
    }
    return tokens[pos].number;
  }

  // <x> <y> <width> <height> in dialog units from tokens[pos].
  bool Box(const rescomp::Statement& statement, std::size_t pos, std::int16_t (&box)[4])
  {
    const char* what[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
      auto v = Number(statement, pos + i, what[i], i < 2 ? -32768 : 0, 32767);
      if (!v) {
        return false;
      }
      box[i] = static_cast<std::int16_t>(*v);
    }
    return true;
  }

  // <flag> [| <flag> ...] from tokens[pos] to the end; NOT <flag> clears one the defaults set. A flag is a
  // WS_ or WS_EX_ name, one of `own`, or a number.
  bool Flags(const rescomp::Statement& statement, std::size_t pos, const std::vector<StyleFlag>* own,
             const std::string& owner, std::uint32_t& style, std::uint32_t& exStyle)
  {
    const auto& tokens = statement.tokens;
    bool expectFlag = true;
    for (; pos < tokens.size(); ++pos) {
      const Token& t = tokens[pos];
      if (!expectFlag) {
        if (t.kind != Token::Kind::Bar) {
          Error(statement, "'|' expected between style flags, not '" + t.text + "'");
          return false;
        }
        expectFlag = true;
        continue;
      }
      bool clear = IsKeyword(t, "NOT");
      if (clear && ++pos == tokens.size()) {
        break;
      }
      const Token& flag = tokens[pos];
      std::uint32_t value = 0;
      bool extended = false;
      if (flag.kind == Token::Kind::Number && flag.number >= 0 && flag.number <= 0xFFFFFFFF) {
        value = static_cast<std::uint32_t>(flag.number);
      } else if (flag.kind == Token::Kind::Name) {
        auto found = FindStyle(flag.text, own);
        if (!found) {
          Error(statement, "unknown style '" + flag.text + "' for " + owner);
          return false;
        }
        value = found->value;
        extended = found->extended;
      } else {
        Error(statement, "style flag expected, not '" + flag.text + "'");
        return false;
      }
      std::uint32_t& into = extended ? exStyle : style;
      into = clear ? (into & ~value) : (into | value);
      expectFlag = false;
    }
    if (expectFlag) {
      Error(statement, "style flag expected at the end of the line");
      return false;
    }
    return true;
  }

  // DIALOG|DIALOGEX <id> [<NAME>] <x> <y> <width> <height>, then STYLE, CAPTION, FONT, CLASS and CONTROL lines.
  void Dialog(const rescomp::Statement& statement)
  {
    const auto& tokens = statement.tokens;
    DialogEntry dialog;
    dialog.extended = tokens[0].text == "DIALOGEX";
    auto id = Id(statement, 1, "dialog id");
    if (!id) {
      return;
    }
    std::size_t pos = 2;
    std::string name;
    if (pos < tokens.size() && tokens[pos].kind == Token::Kind::Name) {
      name = tokens[pos++].text;
    }
    std::int16_t box[4];
    if (!Box(statement, pos, box)) {
      return;
    }
    if (pos + 4 < tokens.size()) {
      Error(statement, "unexpected '" + tokens[pos + 4].text + "' after the dialog's size");
      return;
    }
    dialog.x = box[0];
    dialog.y = box[1];
    dialog.cx = box[2];
    dialog.cy = box[3];
    bool ok = true;
    bool styled = false;
    std::uint32_t style = 0;
    std::map<std::string, const rescomp::Statement*> given;  // STYLE, CAPTION, FONT, CLASS once each
    std::map<std::int32_t, const rescomp::Statement*> controlIds;
    for (const auto& child : statement.children) {
      const auto& t = child.tokens;
      const std::string& key = t[0].text;
      if (child.isBlock || t[0].kind != Token::Kind::Name) {
        Error(child, "'" + key + "' cannot stand inside a dialog");
        ok = false;
        continue;
      }
      if (key != "CONTROL") {
        if (auto [it, fresh] = given.emplace(key, &child); !fresh) {
          Error(child, key + " already given at " + At(it->second));
          ok = false;
          continue;
        }
      }
      if (key == "STYLE") {
        styled = true;
        ok = Flags(child, 1, &DialogFlags(), "a dialog", style, dialog.exStyle) && ok;
      } else if (key == "CAPTION" || key == "CLASS") {
        if (t.size() != 2 || t[1].kind != Token::Kind::Text) {
          Error(child, key + " takes one text");
          ok = false;
          continue;
        }
        auto text = Cp1251(child, t[1].text, key);
        if (!text) {
          ok = false;
        } else if (key == "CAPTION") {
          dialog.caption = std::move(*text);
        } else if (text->empty()) {
          Error(child, "CLASS is empty");
          ok = false;
        } else {
          dialog.className = std::move(*text);
        }
      } else if (key == "FONT") {
        ok = Font(child, dialog) && ok;
      } else if (key == "CONTROL") {
        DialogItemEntry item;
        if (!Control(child, item)) {
          ok = false;
          continue;
        }
        if (item.id != -1) {
          if (auto [it, fresh] = controlIds.emplace(item.id, &child); !fresh) {
            Error(child, "control id " + std::to_string(item.id) + " already used at " + At(it->second));
            ok = false;
            continue;
          }
        }
        dialog.items.push_back(std::move(item));
      } else {
        Error(child, "unknown dialog statement '" + key + "' (known: STYLE CAPTION FONT CLASS CONTROL)");
        ok = false;
      }
    }
    if (!ok || !Unique(resourceIds_[kTypeDialog], statement, *id, "dialog id") || !Name(statement, name, *id)) {
      return;
    }
    dialog.style = (styled ? style : kDefaultDialogStyle) | (given.count("CAPTION") != 0 ? kCaptionStyle : 0) |
                   (dialog.hasFont ? kSetFontStyle : 0);
    if (dialog.items.size() > 0xFFFF) {
      Error(statement, "a dialog holds at most 65535 controls");
      return;
    }
    module_.resources.push_back({kTypeDialog, *id, DialogTemplate(dialog)});
  }

  // FONT <points> "<face>" [<weight> [<italic> [<character set>]]]; the last three only in a DIALOGEX.
  bool Font(const rescomp::Statement& statement, DialogEntry& dialog)
  {
    const auto& t = statement.tokens;
    auto points = Number(statement, 1, "point size", 1, 0xFFFF);
    if (!points) {
      return false;
    }
    if (t.size() < 3 || t[2].kind != Token::Kind::Text || t[2].text.empty()) {
      Error(statement, "FONT takes a point size and a face name");
      return false;
    }
    std::size_t extra = t.size() - 3;
    if (extra > (dialog.extended ? 3u : 0u)) {
      Error(statement, dialog.extended ? "FONT takes at most weight, italic and character set after the face"
                                       : "weight, italic and character set need DIALOGEX");
      return false;
    }
    auto face = Cp1251(statement, t[2].text, "the face name");
    if (!face) {
      return false;
    }
    dialog.hasFont = true;
    dialog.pointSize = static_cast<std::uint16_t>(*points);
    dialog.face = std::move(*face);
    dialog.weight = 400;
    dialog.charSet = 204;  // Russian
    if (extra >= 1) {
      auto weight = Number(statement, 3, "weight", 0, 1000);
      if (!weight) return false;
      dialog.weight = static_cast<std::uint16_t>(*weight);
    }
    if (extra >= 2) {
      auto italic = Number(statement, 4, "italic", 0, 1);
      if (!italic) return false;
      dialog.italic = static_cast<std::uint8_t>(*italic);
    }
    if (extra >= 3) {
      auto charSet = Number(statement, 5, "character set", 0, 255);
      if (!charSet) return false;
      dialog.charSet = static_cast<std::uint8_t>(*charSet);
    }
    return true;
  }

  // CONTROL <class> <id> [<NAME>] "<text>" <x> <y> <width> <height> [<flag> [| <flag> ...]]
  // A class written as a name must be one the platform has; a quoted class is the program's own.
  bool Control(const rescomp::Statement& statement, DialogItemEntry& item)
  {
    const auto& t = statement.tokens;
    if (t.size() < 2 || (t[1].kind != Token::Kind::Name && t[1].kind != Token::Kind::Text)) {
      Error(statement, "CONTROL starts with its class");
      return false;
    }
    const ControlClass* known = FindClass(t[1].text);
    if (known == nullptr && t[1].kind == Token::Kind::Name) {
      std::string list;
      for (const auto& c : KnownClasses()) {
        list += std::string(" ") + c.name;
      }
      Error(statement, "unknown control class '" + t[1].text + "' (known:" + list +
                           "; write the program's own classes in quotes)");
      return false;
    }
    if (known == nullptr) {
      if (t[1].text.empty()) {
        Error(statement, "the control class is empty");
        return false;
      }
      auto cls = Cp1251(statement, t[1].text, "the control class");
      if (!cls) {
        return false;
      }
      item.className = std::move(*cls);
    } else {
      item.atom = known->atom;
      item.className = known->name;
    }
    auto id = Number(statement, 2, "control id", -1, 0xFFFF);
    if (!id) {
      return false;
    }
    item.id = static_cast<std::int32_t>(*id == 0xFFFF ? -1 : *id);
    std::size_t pos = 3;
    std::string name;
    if (pos < t.size() && t[pos].kind == Token::Kind::Name) {
      name = t[pos++].text;
    }
    if (pos >= t.size() || t[pos].kind != Token::Kind::Text) {
      Error(statement, "control " + t[2].text + " needs its text (\"\" for none)");
      return false;
    }
    auto text = Cp1251(statement, t[pos].text, "the text of control " + t[2].text);
    if (!text) {
      return false;
    }
    item.text = std::move(*text);
    std::int16_t box[4];
    if (!Box(statement, pos + 1, box)) {
      return false;
    }
    item.x = box[0];
    item.y = box[1];
    item.cx = box[2];
    item.cy = box[3];
    item.style = kDefaultControlStyle;
    if (pos + 5 < t.size() &&
        !Flags(statement, pos + 5, known != nullptr ? &known->flags : nullptr,
               known != nullptr ? std::string("class ") + known->name : "class \"" + t[1].text + "\"", item.style,
               item.exStyle)) {
      return false;
    }
    if (!name.empty() && item.id == -1) {
      Error(statement, "control -1 cannot have a name: nobody addresses it");
      return false;
    }
    return Name(statement, name, static_cast<std::uint16_t>(item.id));
  }

  // BITMAP|ICON|CURSOR <id> [<NAME>] "<image file>" [<hot spot x> <hot spot y>]; the file is relative to the
  // script.
  void Image(const rescomp::Statement& statement)
  {
    const auto& t = statement.tokens;
    const std::string& kind = t[0].text;
    if (statement.isBlock) {
      Error(statement, kind + " is not a block");
      return;
    }
    auto id = Id(statement, 1, kind + " id");
    if (!id) {
      return;
    }
    std::size_t pos = 2;
    std::string name;
    if (pos < t.size() && t[pos].kind == Token::Kind::Name) {
      name = t[pos++].text;
    }
    if (pos >= t.size() || t[pos].kind != Token::Kind::Text || t[pos].text.empty()) {
      Error(statement, kind + " " + t[1].text + " needs its image file in quotes");
      return;
    }
    const std::string file = t[pos++].text;
    const bool cursor = kind == "CURSOR";
    std::optional<std::int64_t> hotX, hotY;
    if (cursor) {
      hotX = Number(statement, pos, "hot spot x", 0, 255);
      hotY = hotX ? Number(statement, pos + 1, "hot spot y", 0, 255) : std::nullopt;
      if (!hotY) {
        return;
      }
      pos += 2;
    }
    if (pos < t.size()) {
      Error(statement, "unexpected '" + t[pos].text + "' after " + kind + " " + t[1].text);
      return;
    }
    std::filesystem::path path(file);
    if (path.is_relative()) {
      path = std::filesystem::path(statement.file).parent_path() / path;
    }
    std::string error;
    std::optional<Picture> picture = ReadPng(path.string(), error);
    if (!picture) {
      Error(statement, error);
      return;
    }
    const std::uint16_t type = kind == "BITMAP" ? kTypeBitmap : cursor ? kTypeGroupCursor : kTypeGroupIcon;
    if (type != kTypeBitmap && (picture->width > 256 || picture->height > 256)) {
      Error(statement, kind + " image '" + file + "' is larger than 256 x 256 pixels");
      return;
    }
    if (cursor && (*hotX >= picture->width || *hotY >= picture->height)) {
      Error(statement, "the hot spot lies outside the " + std::to_string(picture->width) + " x " +
                           std::to_string(picture->height) + " cursor");
      return;
    }
    if (!Unique(resourceIds_[type], statement, *id, kind + " id") || !Name(statement, name, *id)) {
      return;
    }
    if (type == kTypeBitmap) {
      bitmapSizes_[*id] = {picture->width, picture->height};
      module_.resources.push_back({kTypeBitmap, *id, PackedDib(*picture)});
      return;
    }
    // One image a directory, under the directory's own id in the images' type.
    std::vector<std::uint8_t> image =
        cursor ? CursorImage(*picture, static_cast<std::uint16_t>(*hotX), static_cast<std::uint16_t>(*hotY))
               : IconImage(*picture);
    const auto size = static_cast<std::uint32_t>(image.size());
    module_.resources.push_back({cursor ? kTypeCursor : kTypeIcon, *id, std::move(image)});
    module_.resources.push_back(
        {type, *id, cursor ? CursorDirectory(*picture, size, *id) : IconDirectory(*picture, size, *id)});
  }

  // TOOLBAR <id> [<NAME>] <button width> <button height>, then BUTTON <command id> [<NAME>] and SEPARATOR lines.
  void Toolbar(const rescomp::Statement& statement)
  {
    const auto& t = statement.tokens;
    auto id = Id(statement, 1, "TOOLBAR id");
    if (!id) {
      return;
    }
    std::size_t pos = 2;
    std::string name;
    if (pos < t.size() && t[pos].kind == Token::Kind::Name) {
      name = t[pos++].text;
    }
    auto width = Number(statement, pos, "button width", 1, 256);
    auto height = width ? Number(statement, pos + 1, "button height", 1, 256) : std::nullopt;
    if (!height) {
      return;
    }
    if (pos + 2 < t.size()) {
      Error(statement, "unexpected '" + t[pos + 2].text + "' after the button size");
      return;
    }
    if (statement.children.empty()) {
      Error(statement, "TOOLBAR " + t[1].text + " has no buttons");
      return;
    }
    bool ok = true;
    std::vector<std::uint16_t> commands;
    std::map<std::uint16_t, const rescomp::Statement*> seen;
    int images = 0;
    for (const auto& child : statement.children) {
      const auto& c = child.tokens;
      if (!child.isBlock && IsKeyword(c[0], "SEPARATOR") && c.size() == 1) {
        commands.push_back(0);
        continue;
      }
      if (child.isBlock || !IsKeyword(c[0], "BUTTON")) {
        Error(child, "unknown toolbar statement '" + c[0].text + "' (known: BUTTON SEPARATOR)");
        ok = false;
        continue;
      }
      auto command = Id(child, 1, "command id");
      std::string commandName = c.size() > 2 && c[2].kind == Token::Kind::Name ? c[2].text : std::string();
      if (!command) {
        ok = false;
        continue;
      }
      if (c.size() > (commandName.empty() ? 2u : 3u)) {
        Error(child, "unexpected '" + c[commandName.empty() ? 2 : 3].text + "' after BUTTON " + c[1].text);
        ok = false;
        continue;
      }
      // A command twice on one bar: the second button could never show its own state.
      if (auto [it, fresh] = seen.emplace(*command, &child); !fresh) {
        Error(child, "command " + c[1].text + " already on this toolbar at " + At(it->second));
        ok = false;
        continue;
      }
      ok = Name(child, commandName, *command) && ok;
      commands.push_back(*command);
      ++images;
    }
    if (commands.size() > 0xFFFF) {
      Error(statement, "a toolbar holds at most 65535 buttons");
      ok = false;
    }
    if (!ok || !Unique(resourceIds_[kTypeToolbar], statement, *id, "TOOLBAR id") || !Name(statement, name, *id)) {
      return;
    }
    toolbars_.push_back({&statement, *id, static_cast<int>(*width), static_cast<int>(*height), images});
    module_.resources.push_back({kTypeToolbar, *id,
                                 ToolbarResource(static_cast<std::uint16_t>(*width),
                                                 static_cast<std::uint16_t>(*height), commands)});
  }

  // A toolbar's images are the bitmap of its id, one button wide each, side by side; checked once every
  // script is read, as the bitmap may stand in another.
  void CheckToolbarImages()
  {
    for (const auto& bar : toolbars_) {
      auto it = bitmapSizes_.find(bar.id);
      const std::string which = "TOOLBAR " + std::to_string(bar.id);
      if (it == bitmapSizes_.end()) {
        Error(*bar.statement, which + " has no BITMAP " + std::to_string(bar.id) + " for its images");
      } else if (it->second.second != bar.height || it->second.first < bar.width * bar.images) {
        Error(*bar.statement, which + " needs a bitmap " + std::to_string(bar.height) + " pixels high and at least " +
                                  std::to_string(bar.width * bar.images) + " wide for its " +
                                  std::to_string(bar.images) + " buttons; BITMAP " + std::to_string(bar.id) +
                                  " is " + std::to_string(it->second.first) + " x " +
                                  std::to_string(it->second.second));
      }
    }
  }

  void Error(const rescomp::Statement& at, std::string message)
  {
    diagnostics_.push_back({at.file, at.line, std::move(message)});
  }

  Module& module_;
  std::vector<Diagnostic>& diagnostics_;
  Where ids_;  // of strings
  Where menus_;
  Where accelerators_;
  std::map<std::uint16_t, Where> resourceIds_;  // by resource type
  std::map<std::uint16_t, std::pair<int, int>> bitmapSizes_;  // width and height of each bitmap
  struct ToolbarCheck {
    const rescomp::Statement* statement;
    std::uint16_t id;
    int width, height, images;
  };
  std::vector<ToolbarCheck> toolbars_;
  std::map<std::string, std::pair<std::uint16_t, const rescomp::Statement*>> names_;
};

// Every byte outside printable ASCII as a three-digit octal escape: unlike \x, it never swallows a
// following digit, and the compiler's execution character set leaves numeric escapes alone.
std::string Literal(const std::string& bytes)
{
  std::string out = "\"";
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += c;
    } else if (b >= 0x20 && b < 0x7F && b != '?') {  // '?' kept out of trigraph reach
      out += c;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", b);
      out += escape;
    }
  }
  return out + "\"";
}

std::string Capitalised(std::string name)
{
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
  }
  return name;
}

}  // namespace

bool CompileModule(const std::vector<SourceFile>& sources, Module& module, std::vector<Diagnostic>& diagnostics)
{
  std::size_t before = diagnostics.size();
  // Statements are kept alive here: the compiler remembers where each id was first defined.
  std::vector<std::vector<Statement>> scripts;
  scripts.reserve(sources.size());
  Compiler compiler(module, diagnostics);
  for (const auto& source : sources) {
    scripts.push_back(ReadScript(source.path, source.contents, diagnostics));
    for (const auto& statement : scripts.back()) {
      compiler.Statement(statement);
    }
  }
  compiler.Finish();
  return diagnostics.size() == before;
}

std::string GenerateSource(const Module& module, const std::string& moduleFileName)
{
  std::string out;
  out += "// Generated by rescomp from res/" + module.name + "; edit the scripts, not this file.\n";
  out += "#include \"platform/mfc-core/resources.h\"\n\n";
  out += "#include <iterator>\n\n";
  out += "namespace res {\nnamespace {\n\n";
  std::string strings = "nullptr, 0";
  if (!module.strings.empty()) {
    out += "constexpr platform::StringResource kStrings[] = {\n";
    for (const auto& s : module.strings) {
      out += "    {" + std::to_string(s.id) + ", " + std::to_string(s.text.size()) + ", " + Literal(s.text) + "},\n";
    }
    out += "};\n\n";
    strings = "kStrings, std::size(kStrings)";
  }
  std::string menus = "nullptr, 0";
  if (!module.menus.empty()) {
    out += "using Item = platform::MenuItemResource;\n\n";
    for (const auto& m : module.menus) {
      out += "constexpr Item kMenu" + std::to_string(m.id) + "[] = {\n";
      for (const auto& item : m.items) {
        std::string flags;
        auto add = [&](bool on, const char* name) {
          if (on) {
            flags += (flags.empty() ? "Item::" : " | Item::") + std::string(name);
          }
        };
        add(item.popup, "kPopup");
        add(item.separator, "kSeparator");
        add(item.grayed, "kGrayed");
        add(item.checked, "kChecked");
        out += "    {" + std::to_string(item.depth) + ", " + (flags.empty() ? "0" : flags) + ", " +
               std::to_string(item.id) + ", " + Literal(item.text) + "},\n";
      }
      out += "};\n\n";
    }
    out += "constexpr platform::MenuResource kMenus[] = {\n";
    for (const auto& m : module.menus) {
      std::string array = "kMenu" + std::to_string(m.id);
      out += "    {" + std::to_string(m.id) + ", " + array + ", std::size(" + array + ")},\n";
    }
    out += "};\n\n";
    menus = "kMenus, std::size(kMenus)";
  }
  std::string accelerators = "nullptr, 0";
  if (!module.accelerators.empty()) {
    for (const auto& t : module.accelerators) {
      out += "constexpr platform::AcceleratorResource kAccelerators" + std::to_string(t.id) + "[] = {\n";
      for (const auto& e : t.entries) {
        char flags[8];
        std::snprintf(flags, sizeof flags, "0x%02X", static_cast<unsigned>(e.flags));
        out += "    {" + std::string(flags) + ", " + std::to_string(e.key) + ", " + std::to_string(e.command) + "},\n";
      }
      out += "};\n\n";
    }
    out += "constexpr platform::AcceleratorTableResource kAcceleratorTables[] = {\n";
    for (const auto& t : module.accelerators) {
      std::string array = "kAccelerators" + std::to_string(t.id);
      out += "    {" + std::to_string(t.id) + ", " + array + ", std::size(" + array + ")},\n";
    }
    out += "};\n\n";
    accelerators = "kAcceleratorTables, std::size(kAcceleratorTables)";
  }
  std::string resources = "nullptr, 0";
  if (!module.resources.empty()) {
    for (const auto& r : module.resources) {
      // Aligned as the platform's structures the program reads them through.
      out += "alignas(8) constexpr unsigned char kResource" + std::to_string(r.type) + "_" + std::to_string(r.id) +
             "[] = {";
      for (std::size_t i = 0; i < r.bytes.size(); ++i) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X,", static_cast<unsigned>(r.bytes[i]));
        out += (i % 16 == 0 ? "\n    " : " ") + std::string(byte);
      }
      out += "\n};\n\n";
    }
    out += "constexpr platform::BinaryResource kResources[] = {\n";
    for (const auto& r : module.resources) {
      std::string array = "kResource" + std::to_string(r.type) + "_" + std::to_string(r.id);
      out += "    {" + std::to_string(r.type) + ", " + std::to_string(r.id) + ", " + array + ", std::size(" + array +
             ")},\n";
    }
    out += "};\n\n";
    resources = "kResources, std::size(kResources)";
  }
  out += "constexpr platform::ResourceModuleData kModule = {" + Literal(moduleFileName) + ", " + strings + ", " +
         menus + ", " + accelerators + ", " + resources + "};\n\n";
  out += "}  // namespace\n\n";
  out += "const platform::ResourceModuleData& " + Capitalised(module.name) + "Module() { return kModule; }\n\n";
  out += "}  // namespace res\n";
  return out;
}

std::string GenerateIdsHeader(const Module& module)
{
  std::string out;
  out += "// Generated by rescomp from res/" + module.name + "; edit the scripts, not this file.\n";
  out += "#pragma once\n\n#include \"platform/base/wintypes.h\"\n\n";
  out += "namespace res::" + module.name + " {\n\n";
  for (const auto& n : module.names) {
    out += "inline constexpr UINT " + n.name + " = " + std::to_string(n.value) + ";\n";
  }
  out += "\n}  // namespace res::" + module.name + "\n";
  return out;
}

}  // namespace rescomp
