// Reading numbers out of the engine's text files: whitespace-separated items, C-locale numbers, line numbers
// kept for the error message. Every read is checked; nothing is taken on trust.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

namespace Engines {

class TextScan {
public:
  explicit TextScan(std::string_view text) : text_(text) {}

  std::size_t Line() const { return line_; }
  std::size_t Remaining() const { return text_.size() - pos_; }
  bool AtEnd()
  {
    SkipBlanks();
    return pos_ >= text_.size();
  }

  // The next whitespace-separated item; empty at the end of the text.
  std::string_view Item()
  {
    SkipBlanks();
    std::size_t start = pos_;
    while (pos_ < text_.size() && !IsBlank(text_[pos_]))
      ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // The rest of the current line (without CR and LF), then on to the next line.
  std::string_view RestOfLine()
  {
    std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n')
      ++pos_;
    std::string_view line = text_.substr(start, pos_ - start);
    if (pos_ < text_.size()) {
      ++pos_;
      ++line_;
    }
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    return line;
  }

  bool Unsigned(unsigned long& value)
  {
    std::string_view item = Item();
    if (item.empty())
      return false;
    auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value);
    return ec == std::errc() && end == item.data() + item.size();
  }

  bool Real(double& value)
  {
    std::string_view item = Item();
    return ParseReal(item, value);
  }

  static bool ParseReal(std::string_view item, double& value)
  {
    if (item.empty())
      return false;
    const char* first = item.data();
    if (*first == '+' && item.size() > 1)
      ++first;
    auto [end, ec] = std::from_chars(first, item.data() + item.size(), value);
    return ec == std::errc() && end == item.data() + item.size() && std::isfinite(value);
  }

private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  void SkipBlanks()
  {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) {
      if (text_[pos_] == '\n')
        ++line_;
      ++pos_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

}  // namespace Engines
