#include "tools/rescomp/rescomp.h"

#include "platform/base/codepage.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace rescomp {
namespace {

// Kinds the script grammar has but this compiler does not build tables for yet.
constexpr const char* kPlannedKinds[] = {"MENU", "ACCELERATORS", "TOOLBAR", "DIALOG", "BITMAP", "ICON", "CURSOR"};

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
    if (head.kind == Token::Kind::Name) {
      for (const char* kind : kPlannedKinds) {
        if (head.text == kind) {
          Error(statement, head.text + " resources are not supported yet");
          return;
        }
      }
    }
    Error(statement, "unknown statement '" + head.text + "'");
  }

  void Finish()
  {
    std::sort(module_.strings.begin(), module_.strings.end(),
              [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
  }

 private:
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
      Error(entry, "string id " + tokens[0].text + " already defined at " + it->second->file + ":" +
                       std::to_string(it->second->line));
      return;
    }
    if (!name.empty()) {
      if (auto [it, fresh] = names_.emplace(name, &entry); !fresh) {
        Error(entry, "name " + name + " already defined at " + it->second->file + ":" +
                         std::to_string(it->second->line));
        return;
      }
    }
    module_.strings.push_back({id, name, std::move(text), entry.file, entry.line});
  }

  void Error(const rescomp::Statement& at, std::string message)
  {
    diagnostics_.push_back({at.file, at.line, std::move(message)});
  }

  Module& module_;
  std::vector<Diagnostic>& diagnostics_;
  std::map<std::uint16_t, const rescomp::Statement*> ids_;
  std::map<std::string, const rescomp::Statement*> names_;
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
  if (!module.strings.empty()) {
    out += "constexpr platform::StringResource kStrings[] = {\n";
    for (const auto& s : module.strings) {
      out += "    {" + std::to_string(s.id) + ", " + std::to_string(s.text.size()) + ", " + Literal(s.text) + "},\n";
    }
    out += "};\n\n";
    out += "constexpr platform::ResourceModuleData kModule = {" + Literal(moduleFileName) +
           ", kStrings, std::size(kStrings)};\n\n";
  } else {
    out += "constexpr platform::ResourceModuleData kModule = {" + Literal(moduleFileName) + ", nullptr, 0};\n\n";
  }
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
  for (const auto& s : module.strings) {
    if (!s.name.empty()) {
      out += "inline constexpr UINT " + s.name + " = " + std::to_string(s.id) + ";\n";
    }
  }
  out += "\n}  // namespace res::" + module.name + "\n";
  return out;
}

}  // namespace rescomp
