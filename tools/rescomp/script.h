// The resource script: the text form of a module's resources under res/.
//
// A script is UTF-8, one statement per line. A statement is a keyword or a number followed by tokens;
// statements whose keyword opens a block (STRINGTABLE, MENU, POPUP, ACCELERATORS, TOOLBAR, DIALOG, DIALOGEX)
// own the lines up to their matching END. The reader knows only this shape, not what each kind means, so new
// resource kinds need no change here. res/README.md gives the grammar of every kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rescomp {

struct Token {
  enum class Kind { Number, Name, Text, Bar };
  Kind kind;
  std::string text;    // Name: the identifier; Text: the unescaped UTF-8 contents; Bar: "|"
  std::int64_t number;  // Number only
};

struct Statement {
  std::string file;
  int line = 0;
  std::vector<Token> tokens;           // never empty
  std::vector<Statement> children;     // the block's statements, for a block keyword
  bool isBlock = false;
};

struct Diagnostic {
  std::string file;
  int line = 0;
  std::string message;
  std::string Format() const;  // "file:line: error: message"
};

// Reads one script; problems go to diagnostics and the offending line is skipped.
std::vector<Statement> ReadScript(const std::string& file, const std::string& contents,
                                  std::vector<Diagnostic>& diagnostics);

bool OpensBlock(const std::string& keyword);

}  // namespace rescomp
