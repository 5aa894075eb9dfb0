#include "tools/rescomp/script.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace rescomp {
namespace {

constexpr std::array<std::string_view, 7> kBlockKeywords = {"STRINGTABLE", "MENU",   "POPUP",    "ACCELERATORS",
                                                            "TOOLBAR",     "DIALOG", "DIALOGEX"};

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class LineReader {
 public:
  LineReader(std::string_view line, std::string& error) : line_(line), error_(error) {}

  // Empty result with an empty error: a blank or comment-only line.
  std::vector<Token> Tokens()
  {
    std::vector<Token> tokens;
    while (error_.empty()) {
      SkipSpace();
      if (pos_ >= line_.size() || line_.substr(pos_, 2) == "//") {
        break;
      }
      char c = line_[pos_];
      if (c == '"') {
        tokens.push_back(ReadText());
      } else if (c == '|') {
        ++pos_;
        tokens.push_back({Token::Kind::Bar, "|", 0});
      } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') {
        tokens.push_back(ReadNumber());
      } else if (IsNameStart(c)) {
        std::size_t start = pos_;
        while (pos_ < line_.size() && IsNameChar(line_[pos_])) {
          ++pos_;
        }
        tokens.push_back({Token::Kind::Name, std::string(line_.substr(start, pos_ - start)), 0});
      } else {
        error_ = "unexpected character '" + std::string(1, c) + "'";
      }
    }
    return tokens;
  }

 private:
  void SkipSpace()
  {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t' || line_[pos_] == '\r')) {
      ++pos_;
    }
  }

  Token ReadNumber()
  {
    std::size_t start = pos_;
    bool negative = line_[pos_] == '-';
    if (negative) {
      ++pos_;
    }
    int base = 10;
    if (line_.substr(pos_, 2) == "0x" || line_.substr(pos_, 2) == "0X") {
      base = 16;
      pos_ += 2;
    }
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (pos_ < line_.size() && std::isxdigit(static_cast<unsigned char>(line_[pos_]))) {
      char d = static_cast<char>(std::tolower(static_cast<unsigned char>(line_[pos_])));
      int digit = d <= '9' ? d - '0' : d - 'a' + 10;
      if (digit >= base) {
        break;
      }
      value = value * base + digit;
      if (value > 0xFFFFFFFFll) {
        error_ = "number out of range";
        return {};
      }
      ++pos_;
      ++digits;
    }
    if (digits == 0 || (pos_ < line_.size() && IsNameChar(line_[pos_]))) {
      error_ = "malformed number '" + std::string(line_.substr(start, pos_ + 1 - start)) + "'";
      return {};
    }
    return {Token::Kind::Number, std::string(line_.substr(start, pos_ - start)), negative ? -value : value};
  }

  Token ReadText()
  {
    ++pos_;  // opening quote
    std::string text;
    while (pos_ < line_.size() && line_[pos_] != '"') {
      char c = line_[pos_++];
      if (c != '\\') {
        text += c;
        continue;
      }
      if (pos_ >= line_.size()) {
        break;
      }
      switch (char e = line_[pos_++]) {
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'r': text += '\r'; break;
        case '"': text += '"'; break;
        case '\\': text += '\\'; break;
        default:
          error_ = "unknown escape '\\" + std::string(1, e) + "' (known: \\n \\t \\r \\\" \\\\)";
          return {};
      }
    }
    if (pos_ >= line_.size()) {
      error_ = "text not closed by '\"'";
      return {};
    }
    ++pos_;  // closing quote
    return {Token::Kind::Text, std::move(text), 0};
  }

  std::string_view line_;
  std::string& error_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string Diagnostic::Format() const { return file + ":" + std::to_string(line) + ": error: " + message; }

bool OpensBlock(const std::string& keyword)
{
  return std::find(kBlockKeywords.begin(), kBlockKeywords.end(), keyword) != kBlockKeywords.end();
}

std::vector<Statement> ReadScript(const std::string& file, const std::string& contents,
                                  std::vector<Diagnostic>& diagnostics)
{
  std::vector<Statement> top;
  // The open blocks, innermost last; statements go to the innermost one.
  std::vector<Statement*> open;
  auto report = [&](int line, std::string message) { diagnostics.push_back({file, line, std::move(message)}); };

  std::size_t start = 0;
  int lineNumber = 0;
  while (start <= contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) {
      end = contents.size();
    }
    std::string_view line(contents.data() + start, end - start);
    ++lineNumber;
    start = end + 1;

    std::string error;
    std::vector<Token> tokens = LineReader(line, error).Tokens();
    if (!error.empty()) {
      report(lineNumber, error);
      continue;
    }
    if (tokens.empty()) {
      continue;
    }
    bool isEnd = tokens[0].kind == Token::Kind::Name && tokens[0].text == "END";
    if (isEnd) {
      if (tokens.size() > 1) {
        report(lineNumber, "nothing may follow END");
      }
      if (open.empty()) {
        report(lineNumber, "END without an open block");
      } else {
        open.pop_back();
      }
      continue;
    }
    Statement statement{file, lineNumber, std::move(tokens), {}, false};
    statement.isBlock = statement.tokens[0].kind == Token::Kind::Name && OpensBlock(statement.tokens[0].text);
    std::vector<Statement>& into = open.empty() ? top : open.back()->children;
    into.push_back(std::move(statement));
    if (into.back().isBlock) {
      open.push_back(&into.back());
    }
  }
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    report((*it)->line, (*it)->tokens[0].text + " block not closed by END");
  }
  return top;
}

}  // namespace rescomp
