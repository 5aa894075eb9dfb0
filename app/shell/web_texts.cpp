#include "app/shell/web_texts.h"

#include "platform/base/codepage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

namespace shell {

namespace {

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

long long LeadingNumber(const std::string& line)
{
  return std::strtoll(line.c_str(), nullptr, 10);
}

std::string Lower(std::string_view text)
{
  std::string lower(text);
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}

bool IsBlockTag(const std::string& name)
{
  static const char* const kBlocks[] = {"p",  "br", "div", "li", "ul", "ol", "tr", "table", "h1", "h2", "h3",
                                        "h4", "h5", "h6",  "hr", "section", "article", "header", "footer",
                                        "blockquote", "pre", "title", "dt", "dd"};
  for (const char* block : kBlocks) {
    if (name == block) {
      return true;
    }
  }
  return false;
}

// One entity at `text[at]` ('&'); its code point and length, or 0 when it is not one we know.
char32_t Entity(std::string_view text, std::size_t at, std::size_t* length)
{
  std::size_t end = text.find(';', at);
  if (end == std::string_view::npos || end - at > 10) {
    return 0;
  }
  std::string name(text.substr(at + 1, end - at - 1));
  *length = end - at + 1;
  if (!name.empty() && name[0] == '#') {
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    const char* digits = name.c_str() + (hex ? 2 : 1);
    char* stop = nullptr;
    unsigned long value = std::strtoul(digits, &stop, hex ? 16 : 10);
    if (stop == digits || *stop != '\0' || value == 0 || value > 0x10FFFF) {
      return 0;
    }
    return static_cast<char32_t>(value);
  }
  static const struct {
    const char* name;
    char32_t codePoint;
  } kNamed[] = {{"amp", '&'},     {"lt", '<'},      {"gt", '>'},      {"quot", '"'},   {"apos", '\''},
                {"nbsp", ' '},    {"laquo", 0xAB},  {"raquo", 0xBB},  {"mdash", 0x2014}, {"ndash", 0x2013},
                {"hellip", 0x2026}, {"copy", 0xA9}, {"reg", 0xAE},    {"deg", 0xB0},   {"bull", 0x2022}};
  for (const auto& entry : kNamed) {
    if (name == entry.name) {
      return entry.codePoint;
    }
  }
  return 0;
}

}  // namespace

VersionInfo ParseVersionInfo(const std::string& text)
{
  std::vector<std::string> lines = Lines(text);
  lines.resize(4);
  VersionInfo info;
  info.newest = static_cast<DWORD>(LeadingNumber(lines[0]));
  info.releaseText = lines[1];
  info.newsAddress = lines[2];
  info.newsId = static_cast<int>(LeadingNumber(lines[3]));
  return info;
}

std::string JoinVersionText(const std::string& text)
{
  std::string joined;
  for (const std::string& line : Lines(text)) {
    joined += line;
  }
  return joined;
}


std::string HtmlToText(const std::string& page)
{
  const std::string_view html(page.data(), std::min(page.size(), kNewsPageCap));
  const std::string lower = Lower(html);
  bool cp1251 = false;
  if (std::size_t at = lower.find("charset"); at != std::string::npos) {
    at += 7;
    while (at < lower.size() && (lower[at] == '=' || lower[at] == ' ' || lower[at] == '"' || lower[at] == '\'')) {
      ++at;
    }
    cp1251 = lower.compare(at, 12, "windows-1251") == 0 || lower.compare(at, 6, "cp1251") == 0;
  }
  // Text in the page's own bytes (UTF-8 or cp1251), with '\n' for line breaks; entities as UTF-8.
  std::string text;
  auto emitCodePoint = [&](char32_t c) {
    if (cp1251) {
      text += codepage::Cp1251FromUnicode(c);
    } else {
      text += codepage::Utf16ToUtf8(c <= 0xFFFF ? std::u16string(1, static_cast<char16_t>(c)) : std::u16string(u"?"));
    }
  };
  std::size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<') {
      if (lower.compare(i, 4, "<!--") == 0) {
        std::size_t end = lower.find("-->", i + 4);
        i = end == std::string::npos ? html.size() : end + 3;
        continue;
      }
      std::size_t end = html.find('>', i);
      if (end == std::string_view::npos) {
        break;
      }
      std::size_t nameStart = i + 1 + (i + 1 < html.size() && html[i + 1] == '/' ? 1 : 0);
      std::size_t nameEnd = nameStart;
      while (nameEnd < end && std::isalnum(static_cast<unsigned char>(html[nameEnd]))) {
        ++nameEnd;
      }
      const std::string name = lower.substr(nameStart, nameEnd - nameStart);
      const bool closing = html[i + 1] == '/';
      if (!closing && (name == "script" || name == "style" || name == "head")) {
        // Their content is not text for people; the whole element goes.
        std::size_t close = lower.find("</" + name, end);
        std::size_t closeEnd = close == std::string::npos ? std::string::npos : lower.find('>', close);
        if (name == "head") {
          // A head's title is still worth a line.
          std::size_t title = lower.find("<title", end);
          if (title != std::string::npos && (close == std::string::npos || title < close)) {
            std::size_t titleStart = lower.find('>', title);
            std::size_t titleEnd = lower.find("</title", titleStart == std::string::npos ? title : titleStart);
            // Only a title inside this head: one that ends past it would be read again by every later head.
            if (titleStart != std::string::npos && titleEnd != std::string::npos &&
                (close == std::string::npos || titleEnd < close)) {
              for (char t : html.substr(titleStart + 1, titleEnd - titleStart - 1))
                text += static_cast<unsigned char>(t) < 0x20 ? ' ' : t;
              text += '\n';
            }
          }
        }
        i = closeEnd == std::string::npos ? html.size() : closeEnd + 1;
        continue;
      }
      if (IsBlockTag(name)) {
        text += '\n';
      }
      i = end + 1;
      continue;
    }
    if (c == '&') {
      std::size_t length = 0;
      if (char32_t code = Entity(html, i, &length)) {
        emitCodePoint(code);
        i += length;
        continue;
      }
    }
    text += c;
    ++i;
  }
  if (!cp1251) {
    text = codepage::Utf8ToCp1251(text);
  }
  // Blanks collapse within a line; lines are trimmed and empty ones dropped.
  std::string result;
  std::string line;
  auto flush = [&] {
    while (!line.empty() && line.back() == ' ') {
      line.pop_back();
    }
    if (!line.empty()) {
      result += line;
      result += "\r\n";
    }
    line.clear();
  };
  for (char ch : text) {
    if (ch == '\n') {
      flush();
    } else if (ch == ' ' || ch == '\t' || ch == '\r' || static_cast<unsigned char>(ch) == 0xA0) {
      if (!line.empty() && line.back() != ' ') {
        line += ' ';
      }
    } else if (static_cast<unsigned char>(ch) >= 0x20) {
      line += ch;
    }
  }
  flush();
  return result;
}

}  // namespace shell
