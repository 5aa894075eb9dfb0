// RTF as read here, in the order it stands:
//   "{\rtf1" then document words (\ansi \ansicpgN \deffN \paperw ...), the destinations {\fonttbl ...} and
//   {\colortbl ...} in either order, ignorable groups ({\*\generator ...}, {\info ...}, {\stylesheet ...}),
//   {\header ...} and {\footer ...}, then the body: text bytes, \'hh, \uN with \ucN replacement characters,
//   formatting words, \par \line \tab \page \sect, table rows (\trowd, cell definitions ending in \cellxN,
//   cell text ending in \cell, \row) and picture groups {\pict <words> <hex digits or \binN bytes>}; "}".
// A control word is "\" letters [-]digits, its one space delimiter taken with it.
#include "platform/richedit/rtf_reader.h"

#include "platform/richedit/symbol_font.h"

#include "platform/base/codepage.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace richedit {

namespace {

// Pictures: GDI's own bitmap limits (a side of at most 32768 pixels), and 2^26 pixels (256 MB of pixels).
constexpr long long kMaxPictureSide = 1 << 15;
constexpr long long kMaxPicturePixels = 1LL << 26;
// The document may take this much memory plus kBytesPerInputByte per byte of input: enough for a paragraph
// of a few bytes, far from what a row definition repeated by a thousand bare \row words would take.
constexpr size_t kBaseBudget = 32u << 20;
constexpr size_t kBytesPerInputByte = 128;
constexpr size_t kMaxBudget = 768u << 20;
// Word's own limit of cells in a row; further \cellx are ignored.
constexpr size_t kMaxCellsPerRow = 63;
constexpr size_t kMaxTabStops = 64;
// A field's instruction and a bookmark's name are short; longer texts are cut.
constexpr size_t kMaxFieldText = 255;
constexpr size_t kMaxBookmarksPerParagraph = 64;
// Twips values beyond these are not a page's; they are clamped so that layout arithmetic stays in range.
constexpr int kMaxTwips = 1 << 20;

enum class Destination { Body, FontTable, ColorTable, Picture, FieldInstruction, Bookmark, Skip };

enum class BorderTarget { None, CellTop, CellLeft, CellBottom, CellRight, RowTop, RowLeft, RowBottom, RowRight };

struct PendingBorder {
  bool styled = false;
  int width = 0;
  int color = 0;
  CellBorder Result() const { return styled ? CellBorder{width > 0 ? width : 15, color} : CellBorder{}; }
};

struct PendingCell {
  PendingBorder top, left, bottom, right;
  int shading = 0;
  VerticalAlignment verticalAlignment = VerticalAlignment::Top;
};

struct RowDefinition {
  int left = 0;
  int gap = 0;
  int height = 0;
  PendingBorder rowTop, rowLeft, rowBottom, rowRight;
  PendingCell pending;
  std::vector<TableCell> cells;
};

// Character format while reading: the font is the RTF font number until a run is made.
struct ReadFormat {
  CharFormat format;
  int fontNumber = 0;
};

struct GroupState {
  Destination destination = Destination::Body;
  ReadFormat chr;
  ParagraphFormat par;
  bool inTable = false;
  int unicodeSkip = 1;
  int story = 0;  // index into Reader::stories_
  std::string field;  // in a field's result: the field's instruction
};

struct PictureData {
  PictureSource source = PictureSource::Placeholder;
  int picw = 0, pich = 0, goalWidth = 0, goalHeight = 0, scaleX = 100, scaleY = 100;
  int bitsPerPixel = 1, planes = 1, widthBytes = 0;
  std::vector<std::uint8_t> bytes;
  int pendingNibble = -1;
  bool bad = false;
};

// One flow of text: the body, the header or the footer.
struct Story {
  std::vector<Block>* blocks = nullptr;
  Paragraph current;
  std::vector<TableCell> rowCells;  // cells of the row being read, each with its paragraphs
  std::vector<Paragraph> cellParagraphs;
  bool rowOpen = false;
};

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Code page 1252 bytes 0x80-0x9F; the rest of it is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD,
    0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0xFFFD, 0x017E, 0x0178};

// \uN is a signed 16-bit number; anything outside that range is no character.
char32_t UnicodeOfParam(int param) {
  const long value = param < 0 ? param + 65536L : param;
  return value >= 0 && value <= 0xFFFF ? static_cast<char32_t>(value) : char32_t{0xFFFD};
}

char32_t Cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
  return byte;
}

// Destinations whose content is not shown. Words not listed that start a group are formatting or shown text.
bool IsSkippedDestination(std::string_view word) {
  static constexpr std::string_view kSkipped[] = {
      "stylesheet", "info", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "xmlnstbl",
      "themedata", "colorschememapping", "latentstyles", "datastore", "pgdsctbl", "author", "operator", "title",
      "subject", "keywords", "comment", "doccomm", "company", "creatim", "revtim", "printim", "buptim",
      "objdata", "objclass", "nonshppict", "footnote", "ftnsep", "ftnsepc", "ftncn", "aftnsep",
      "aftnsepc", "aftncn", "headerl", "headerr", "headerf", "footerl", "footerr", "footerf", "annotation",
      "atnid", "atnauthor", "bkmkend", "pn", "pnseclvl", "listtext", "filetbl", "mmathPr",
      "fname", "falt", "panose", "blipuid", "userprops", "docvar", "template", "protusertbl", "nonesttables"};
  return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

// Destinations this reader understands even behind "\*".
bool IsKnownDestination(std::string_view word) {
  static constexpr std::string_view kKnown[] = {"fonttbl", "colortbl", "pict", "header", "footer", "shppict",
                                                "fldrslt", "shprslt", "result", "fldinst", "bkmkstart"};
  return std::find(std::begin(kKnown), std::end(kKnown), word) != std::end(kKnown);
}

class Reader {
 public:
  Reader(std::string_view input, RichDocument& document)
      : in_(input), doc_(document),
        budget_(std::min(kMaxBudget, kBaseBudget + input.size() * kBytesPerInputByte)) {}

  RtfReadResult Read();

 private:
  // ---- input
  bool AtEnd() const { return pos_ >= in_.size(); }
  void Fail(RtfError error, std::string what, size_t at);
  bool Charge(size_t bytes);

  // ---- tokens
  void ReadControl();
  void ControlWord(std::string_view word, bool hasParam, int param);
  void ControlSymbol(unsigned char symbol);
  void TextByte(unsigned char byte);
  void OpenGroup(size_t at);
  void CloseGroup();

  // ---- content
  // After the outermost group has closed, its last state still formats the final paragraph.
  GroupState& St() { return stack_.empty() ? lastState_ : stack_.back(); }
  const GroupState& St() const { return stack_.empty() ? lastState_ : stack_.back(); }
  Story& CurrentStory() { return stories_[static_cast<size_t>(St().story)]; }
  int CodePageOfFont(int fontNumber) const;
  CharFormat RunFormat() const;
  void AddCodePoint(char32_t codePoint);
  void AddByte(unsigned char byte);
  void AddRun(Run run);
  void EndParagraph();
  void EndCell();
  void EndRow();
  void FlushRow(Story& story);
  void PageBreak();
  void FinishStory(Story& story, bool body);
  PendingBorder* Border();
  void FinishPicture(PictureData& picture, size_t at);
  std::shared_ptr<Picture> DecodePicture(PictureData& data, size_t at);

  std::string_view in_;
  RichDocument& doc_;
  size_t pos_ = 0;
  size_t budget_;
  size_t used_ = 0;
  RtfReadResult result_;
  bool stop_ = false;
  bool closed_ = false;

  std::vector<GroupState> stack_;
  GroupState lastState_;
  std::vector<FontEntry> fonts_;
  std::vector<ColorEntry> colors_;
  PageSetup page_;
  TabKind pendingTab_ = TabKind::Left;
  std::vector<Story> stories_;
  std::vector<Block> body_;
  std::vector<Block> header_, footer_;
  bool haveHeader_ = false, haveFooter_ = false;
  bool starNext_ = false;      // "\*" seen at the start of the group
  bool groupStart_ = false;    // no word or text yet in the newest group
  int skipChars_ = 0;          // replacement characters still to skip after \uN
  char16_t highSurrogate_ = 0;
  int codePage_ = 1251;
  int defaultFontNumber_ = 0;
  bool sectionPageBreak_ = true;

  std::map<int, int> fontIndexOfNumber_;
  FontEntry fontEntry_;
  std::string instruction_;  // the last field instruction read
  std::string bookmark_;     // the name of the bookmark being read
  int fontEntryNumber_ = -1;
  bool fontEntryOpen_ = false;
  int colorRed_ = 0, colorGreen_ = 0, colorBlue_ = 0;
  bool colorHasComponent_ = false;

  RowDefinition row_;
  BorderTarget borderTarget_ = BorderTarget::None;
  std::vector<std::unique_ptr<PictureData>> pictures_;  // one per open \pict group, innermost last
  std::vector<size_t> pictureDepth_;
};

void Reader::Fail(RtfError error, std::string what, size_t at) {
  if (result_.error == RtfError::None) {
    result_.error = error;
    result_.offset = at;
    result_.message = what + " at byte " + std::to_string(at);
  }
}

bool Reader::Charge(size_t bytes) {
  if (stop_) return false;
  if (bytes > budget_ - used_) {
    Fail(RtfError::TooLarge, "the document would take more memory than its size allows", pos_);
    stop_ = true;
    return false;
  }
  used_ += bytes;
  return true;
}

RtfReadResult Reader::Read() {
  if (in_.size() < 5 || in_.substr(0, 5) != "{\\rtf") {
    result_.error = RtfError::NotRtf;
    result_.message = "not an RTF document: it does not start with {\\rtf";
    return result_;
  }
  stories_.push_back(Story{&body_, {}, {}, {}, false});
  while (!AtEnd() && !stop_ && !closed_) {
    const size_t at = pos_;
    const unsigned char c = static_cast<unsigned char>(in_[pos_]);
    if (c == '{') {
      ++pos_;
      OpenGroup(at);
    } else if (c == '}') {
      ++pos_;
      CloseGroup();
    } else if (c == '\\') {
      ReadControl();
    } else if (c == '\r' || c == '\n') {
      ++pos_;
    } else {
      ++pos_;
      if (stack_.empty()) continue;
      if (skipChars_ > 0) {
        --skipChars_;
        continue;
      }
      if (c == '\t') {
        ControlWord("tab", false, 0);
        continue;
      }
      if (c < 0x20) continue;
      TextByte(c);
    }
  }
  result_.unclosedGroups = closed_ ? 0 : static_cast<int>(stack_.size());
  // Groups left open are closed: a picture cut off is read as far as it goes, mostly into a placeholder.
  while (stack_.size() > 1 && !stop_) CloseGroup();
  Story& body = stories_.front();
  FinishStory(body, true);

  doc_ = RichDocument{};
  doc_.blocks = std::move(body_);
  if (haveHeader_) doc_.header = std::move(header_);
  if (haveFooter_) doc_.footer = std::move(footer_);
  doc_.fonts = std::move(fonts_);
  doc_.colors = std::move(colors_);
  auto it = fontIndexOfNumber_.find(defaultFontNumber_);
  doc_.defaultFont = it != fontIndexOfNumber_.end() ? it->second : 0;
  doc_.page = page_;
  doc_.Normalize();
  return result_;
}

void Reader::OpenGroup(size_t at) {
  if (stack_.size() >= static_cast<size_t>(kMaxRtfDepth)) {
    Fail(RtfError::TooDeep, "groups nested deeper than " + std::to_string(kMaxRtfDepth), at);
    stop_ = true;
    return;
  }
  skipChars_ = 0;
  if (stack_.empty()) {
    GroupState first;
    first.chr.fontNumber = defaultFontNumber_;
    stack_.push_back(first);
  } else {
    stack_.push_back(stack_.back());
  }
  starNext_ = false;
  groupStart_ = true;
}

void Reader::CloseGroup() {
  skipChars_ = 0;
  if (stack_.empty()) return;
  const GroupState closing = stack_.back();
  const bool pictureGroup = !pictureDepth_.empty() && pictureDepth_.back() == stack_.size();
  const bool storyGroup = stack_.size() >= 2 && closing.story != stack_[stack_.size() - 2].story;
  if (closing.destination == Destination::FontTable && fontEntryOpen_) {
    // An entry without its ";" still counts when its group closes.
    ControlSymbol(';');
  }
  if (closing.destination == Destination::ColorTable &&
      (stack_.size() < 2 || stack_[stack_.size() - 2].destination != Destination::ColorTable) && colorHasComponent_) {
    colors_.push_back(ColorEntry{RGB(colorRed_, colorGreen_, colorBlue_), false});
    colorHasComponent_ = false;
  }
  if (closing.destination == Destination::Bookmark && stack_.size() >= 2 &&
      stack_[stack_.size() - 2].destination == Destination::Body && !bookmark_.empty()) {
    Paragraph& paragraph = CurrentStory().current;
    if (paragraph.bookmarks.size() < kMaxBookmarksPerParagraph && Charge(sizeof(std::string) + bookmark_.size())) {
      paragraph.bookmarks.push_back(bookmark_);
    }
  }
  if (pictureGroup) {
    std::unique_ptr<PictureData> picture = std::move(pictures_.back());
    pictures_.pop_back();
    pictureDepth_.pop_back();
    stack_.pop_back();
    FinishPicture(*picture, pos_);
  } else if (storyGroup) {
    Story& story = stories_[static_cast<size_t>(closing.story)];
    FinishStory(story, false);
    stack_.pop_back();
  } else {
    stack_.pop_back();
  }
  if (stack_.empty()) {
    closed_ = true;
    lastState_ = closing;
  }
  groupStart_ = false;
  starNext_ = false;
}

void Reader::ReadControl() {
  const size_t at = pos_;
  ++pos_;  // the backslash
  if (AtEnd()) return;
  const unsigned char first = static_cast<unsigned char>(in_[pos_]);
  const bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
  if (!letter) {
    ++pos_;
    if (first == '\'') {
      int value = -1;
      if (pos_ + 2 <= in_.size()) {
        const int high = HexValue(static_cast<unsigned char>(in_[pos_]));
        const int low = HexValue(static_cast<unsigned char>(in_[pos_ + 1]));
        if (high >= 0 && low >= 0) value = high * 16 + low;
      }
      if (value < 0) {
        Fail(RtfError::BadHex, "\\' not followed by two hexadecimal digits", at);
        return;
      }
      pos_ += 2;
      if (stack_.empty()) return;
      if (skipChars_ > 0) {
        --skipChars_;
        return;
      }
      TextByte(static_cast<unsigned char>(value));
      return;
    }
    if (stack_.empty()) return;
    if (skipChars_ > 0) {
      --skipChars_;
      return;
    }
    ControlSymbol(first);
    return;
  }
  const size_t wordStart = pos_;
  while (!AtEnd() && pos_ - wordStart < 32) {
    const char c = in_[pos_];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) break;
    ++pos_;
  }
  // A word longer than any RTF word: the rest of its letters belong to it too.
  while (!AtEnd() && ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z'))) ++pos_;
  const std::string_view word = in_.substr(wordStart, std::min<size_t>(pos_ - wordStart, 32));
  bool negative = false;
  bool hasParam = false;
  long long param = 0;
  if (!AtEnd() && in_[pos_] == '-' && pos_ + 1 < in_.size() && in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
    negative = true;
    ++pos_;
  }
  while (!AtEnd() && in_[pos_] >= '0' && in_[pos_] <= '9') {
    hasParam = true;
    if (param < (1LL << 40)) param = param * 10 + (in_[pos_] - '0');
    ++pos_;
  }
  if (!AtEnd() && in_[pos_] == ' ') ++pos_;
  if (negative) param = -param;
  param = std::clamp<long long>(param, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  if (stack_.empty()) return;
  if (word == "bin") {
    // Binary data: taken whole even when a \u replacement is being skipped.
    const long long count = hasParam ? param : 0;
    if (count < 0 || static_cast<unsigned long long>(count) > in_.size() - pos_) {
      Fail(RtfError::BinPastEnd, "\\bin" + std::to_string(count) + " runs past the end of the input", at);
      stop_ = true;
      return;
    }
    if (St().destination == Destination::Picture && !pictures_.empty()) {
      PictureData& picture = *pictures_.back();
      if (Charge(static_cast<size_t>(count))) {
        picture.bytes.insert(picture.bytes.end(), in_.begin() + static_cast<long>(pos_),
                             in_.begin() + static_cast<long>(pos_ + static_cast<size_t>(count)));
      }
    }
    pos_ += static_cast<size_t>(count);
    skipChars_ = 0;
    return;
  }
  if (skipChars_ > 0) {
    --skipChars_;
    return;
  }
  ControlWord(word, hasParam, static_cast<int>(param));
}

void Reader::ControlSymbol(unsigned char symbol) {
  GroupState& st = St();
  switch (symbol) {
    case '*':
      if (groupStart_) starNext_ = true;
      return;
    case '\\': case '{': case '}':
      TextByte(symbol);
      return;
    case '\r': case '\n':
      ControlWord("par", false, 0);
      return;
    case '~':
      TextByte(0xA0);
      return;
    case '_':
      TextByte('-');
      return;
    case ';':
      break;
    default:
      return;  // \- optional hyphen, \: index subentry, \| formula: nothing to show
  }
  // ';' ends a font entry, whether it stands in the entry's text or its group ends without one.
  if (st.destination == Destination::FontTable && fontEntryOpen_) {
    while (!fontEntry_.name.empty() && fontEntry_.name.back() == ' ') fontEntry_.name.pop_back();
    size_t lead = 0;
    while (lead < fontEntry_.name.size() && fontEntry_.name[lead] == ' ') ++lead;
    fontEntry_.name.erase(0, lead);
    if (Charge(sizeof(FontEntry) + fontEntry_.name.size())) {
      if (fontIndexOfNumber_.find(fontEntryNumber_) == fontIndexOfNumber_.end()) {
        fontIndexOfNumber_[fontEntryNumber_] = static_cast<int>(fonts_.size());
        fonts_.push_back(fontEntry_);
      }
    }
    fontEntryOpen_ = false;
  }
}

PendingBorder* Reader::Border() {
  switch (borderTarget_) {
    case BorderTarget::CellTop: return &row_.pending.top;
    case BorderTarget::CellLeft: return &row_.pending.left;
    case BorderTarget::CellBottom: return &row_.pending.bottom;
    case BorderTarget::CellRight: return &row_.pending.right;
    case BorderTarget::RowTop: return &row_.rowTop;
    case BorderTarget::RowLeft: return &row_.rowLeft;
    case BorderTarget::RowBottom: return &row_.rowBottom;
    case BorderTarget::RowRight: return &row_.rowRight;
    case BorderTarget::None: break;
  }
  return nullptr;
}

void Reader::ControlWord(std::string_view word, bool hasParam, int param) {
  GroupState& st = St();
  const bool firstInGroup = groupStart_;
  const bool starred = starNext_;
  groupStart_ = false;
  starNext_ = false;

  if (st.destination == Destination::Skip) return;

  // Destinations.
  if (firstInGroup) {
    if (starred && !IsKnownDestination(word)) {
      st.destination = Destination::Skip;
      return;
    }
    if (IsSkippedDestination(word)) {
      st.destination = Destination::Skip;
      return;
    }
  }
  if (word == "fonttbl") {
    st.destination = Destination::FontTable;
    return;
  }
  if (word == "colortbl") {
    st.destination = Destination::ColorTable;
    colors_.clear();
    colorHasComponent_ = false;
    return;
  }
  if (word == "header" || word == "footer") {
    bool& have = word == "header" ? haveHeader_ : haveFooter_;
    std::vector<Block>& target = word == "header" ? header_ : footer_;
    if (have || st.destination != Destination::Body || st.story != 0) {
      st.destination = Destination::Skip;
      return;
    }
    have = true;
    stories_.push_back(Story{&target, {}, {}, {}, false});
    st.story = static_cast<int>(stories_.size() - 1);
    st.inTable = false;
    return;
  }
  if (word == "fldinst" && firstInGroup && st.destination == Destination::Body) {
    st.destination = Destination::FieldInstruction;
    instruction_.clear();
    return;
  }
  if (word == "fldrslt" && firstInGroup && st.destination == Destination::Body) {
    // The instruction without its surrounding spaces names the field of the runs read here.
    const size_t first = instruction_.find_first_not_of(' ');
    const size_t last = instruction_.find_last_not_of(' ');
    st.field = first == std::string::npos ? std::string() : instruction_.substr(first, last - first + 1);
    return;
  }
  if (word == "bkmkstart" && firstInGroup && st.destination == Destination::Body) {
    st.destination = Destination::Bookmark;
    bookmark_.clear();
    return;
  }
  if (word == "pict") {
    if (!Charge(sizeof(PictureData))) return;
    st.destination = Destination::Picture;
    pictures_.push_back(std::make_unique<PictureData>());
    pictureDepth_.push_back(stack_.size());
    return;
  }

  if (st.destination == Destination::FontTable) {
    if (word == "f") {
      fontEntry_ = FontEntry{};
      fontEntryNumber_ = param;
      fontEntryOpen_ = true;
    } else if (word == "fcharset") {
      fontEntry_.charset = param;
    } else if (word == "fnil") {
      fontEntry_.family = FontFamily::Nil;
    } else if (word == "froman") {
      fontEntry_.family = FontFamily::Roman;
    } else if (word == "fswiss") {
      fontEntry_.family = FontFamily::Swiss;
    } else if (word == "fmodern") {
      fontEntry_.family = FontFamily::Modern;
    } else if (word == "fscript") {
      fontEntry_.family = FontFamily::Script;
    } else if (word == "fdecor") {
      fontEntry_.family = FontFamily::Decor;
    } else if (word == "ftech") {
      fontEntry_.family = FontFamily::Tech;
    } else if (word == "fbidi") {
      fontEntry_.family = FontFamily::Bidi;
    } else if (word == "u") {
      AddCodePoint(UnicodeOfParam(param));
      skipChars_ = st.unicodeSkip;
    }
    return;
  }
  if (st.destination == Destination::ColorTable) {
    const int value = std::clamp(param, 0, 255);
    if (word == "red") colorRed_ = value;
    else if (word == "green") colorGreen_ = value;
    else if (word == "blue") colorBlue_ = value;
    else return;
    colorHasComponent_ = true;
    return;
  }
  if (st.destination == Destination::Picture) {
    PictureData& picture = *pictures_.back();
    const int twips = std::clamp(param, 0, kMaxTwips);
    if (word == "wbitmap") {
      picture.source = PictureSource::Bitmap;
    } else if (word == "dibitmap") {
      picture.source = PictureSource::Dib;
    } else if (word == "pngblip") {
      picture.source = PictureSource::Png;
    } else if (word == "jpegblip") {
      picture.source = PictureSource::Jpeg;
    } else if (word == "picw") {
      picture.picw = param;
    } else if (word == "pich") {
      picture.pich = param;
    } else if (word == "picwgoal") {
      picture.goalWidth = twips;
    } else if (word == "pichgoal") {
      picture.goalHeight = twips;
    } else if (word == "picscalex") {
      picture.scaleX = param > 0 ? std::min(param, 10000) : 100;
    } else if (word == "picscaley") {
      picture.scaleY = param > 0 ? std::min(param, 10000) : 100;
    } else if (word == "wbmbitspixel") {
      picture.bitsPerPixel = param;
    } else if (word == "wbmplanes") {
      picture.planes = param;
    } else if (word == "wbmwidthbytes") {
      picture.widthBytes = param;
    }
    return;
  }

  // Body, header and footer: document, paragraph, character and table words.
  auto flag = [&](bool& target) { target = !hasParam || param != 0; };
  auto twips = [&](int limit) { return std::clamp(hasParam ? param : 0, -limit, limit); };
  CharFormat& chr = st.chr.format;
  ParagraphFormat& par = st.par;
  Story& story = CurrentStory();

  if (word == "par") { EndParagraph(); return; }
  if (word == "tab") { Run run; run.kind = RunKind::Tab; run.format = RunFormat(); AddRun(std::move(run)); return; }
  if (word == "line") { Run run; run.kind = RunKind::LineBreak; run.format = RunFormat(); AddRun(std::move(run)); return; }
  if (word == "cell") { EndCell(); return; }
  if (word == "row") { EndRow(); return; }
  // A nested table is flattened: each of its cells becomes a paragraph of the outer cell.
  if (word == "nestcell") { EndParagraph(); return; }
  if (word == "nestrow") return;
  if (word == "page") { PageBreak(); return; }
  if (word == "sect") {
    EndParagraph();
    if (sectionPageBreak_) PageBreak();
    return;
  }
  if (word == "sectd") { sectionPageBreak_ = true; return; }
  if (word == "sbknone") { sectionPageBreak_ = false; return; }
  if (word == "sbkpage") { sectionPageBreak_ = true; return; }
  if (word == "u") {
    AddCodePoint(UnicodeOfParam(param));
    skipChars_ = st.unicodeSkip;
    return;
  }
  if (word == "uc") { st.unicodeSkip = std::clamp(param, 0, 10); return; }
  if (word == "ansicpg") { codePage_ = param; return; }
  if (word == "deff") { defaultFontNumber_ = param; st.chr.fontNumber = param; return; }
  if (word == "paperw") { page_.paperWidth = std::clamp(param, 720, kMaxTwips); return; }
  if (word == "paperh") { page_.paperHeight = std::clamp(param, 720, kMaxTwips); return; }
  if (word == "margl") { page_.marginLeft = std::clamp(param, 0, kMaxTwips); return; }
  if (word == "margr") { page_.marginRight = std::clamp(param, 0, kMaxTwips); return; }
  if (word == "margt") { page_.marginTop = std::clamp(param, 0, kMaxTwips); return; }
  if (word == "margb") { page_.marginBottom = std::clamp(param, 0, kMaxTwips); return; }
  // Characters named by words.
  static constexpr std::pair<std::string_view, unsigned char> kNamedChars[] = {
      {"emdash", 0x97}, {"endash", 0x96}, {"bullet", 0x95}, {"lquote", 0x91}, {"rquote", 0x92},
      {"ldblquote", 0x93}, {"rdblquote", 0x94}, {"emspace", ' '}, {"enspace", ' '}, {"qmspace", ' '}};
  for (const auto& [name, byte] : kNamedChars) {
    if (word == name) { AddByte(byte); return; }
  }

  // Character format.
  if (word == "plain") {
    chr = CharFormat{};
    st.chr.fontNumber = defaultFontNumber_;
    return;
  }
  if (word == "b") { flag(chr.bold); return; }
  if (word == "i") { flag(chr.italic); return; }
  if (word == "ul" || word == "uld" || word == "uldash" || word == "uldashd" || word == "uldashdd" ||
      word == "uldb" || word == "ulth" || word == "ulw" || word == "ulwave" || word == "ulhair") {
    flag(chr.underline);
    return;
  }
  if (word == "ulnone") { chr.underline = false; return; }
  if (word == "f") { st.chr.fontNumber = param; return; }
  if (word == "fs") { chr.size = hasParam && param > 0 ? std::min(param, 3276) : 24; return; }
  if (word == "cf") { chr.color = std::max(param, 0); return; }
  if (word == "highlight" || word == "cb" || word == "chcbpat") { chr.highlight = std::max(param, 0); return; }

  // Paragraph format.
  if (word == "pard") {
    par = ParagraphFormat{};
    st.inTable = false;
    return;
  }
  if (word == "ql") { par.alignment = Alignment::Left; return; }
  if (word == "qr") { par.alignment = Alignment::Right; return; }
  if (word == "qc") { par.alignment = Alignment::Centre; return; }
  if (word == "keepn") { par.keepWithNext = !hasParam || param != 0; return; }
  if (word == "qj") { par.alignment = Alignment::Justify; return; }
  if (word == "li") { par.leftIndent = twips(kMaxTwips); return; }
  if (word == "ri") { par.rightIndent = twips(kMaxTwips); return; }
  if (word == "fi") { par.firstLineIndent = twips(kMaxTwips); return; }
  if (word == "sb") { par.spaceBefore = std::max(0, twips(kMaxTwips)); return; }
  if (word == "sa") { par.spaceAfter = std::max(0, twips(kMaxTwips)); return; }
  if (word == "sl") { par.lineSpacing = twips(kMaxTwips); return; }
  if (word == "slmult") { par.lineSpacingMultiple = hasParam && param != 0; return; }
  if (word == "tqr") { pendingTab_ = TabKind::Right; return; }
  if (word == "tqc") { pendingTab_ = TabKind::Centre; return; }
  if (word == "tqdec") { pendingTab_ = TabKind::Decimal; return; }
  if (word == "tx" || word == "tb") {
    if (par.tabs.size() < kMaxTabStops && Charge(sizeof(TabStop))) {
      const TabStop stop{std::clamp(param, 0, kMaxTwips), pendingTab_};
      auto place = std::lower_bound(par.tabs.begin(), par.tabs.end(), stop.position,
                                    [](const TabStop& t, int position) { return t.position < position; });
      if (place == par.tabs.end() || place->position != stop.position) par.tabs.insert(place, stop);
    }
    pendingTab_ = TabKind::Left;
    return;
  }
  if (word == "intbl") { st.inTable = true; return; }
  if (word == "itap") { st.inTable = param > 0; return; }

  // Table rows: the definition lasts until the next \trowd, across \pard.
  if (word == "trowd") {
    if (story.rowOpen) FlushRow(story);
    row_ = RowDefinition{};
    borderTarget_ = BorderTarget::None;
    return;
  }
  if (word == "trgaph") { row_.gap = std::clamp(param, 0, kMaxTwips); return; }
  if (word == "trleft") { row_.left = twips(kMaxTwips); return; }
  if (word == "trrh") { row_.height = twips(kMaxTwips); return; }
  static constexpr std::pair<std::string_view, BorderTarget> kBorders[] = {
      {"clbrdrt", BorderTarget::CellTop}, {"clbrdrl", BorderTarget::CellLeft},
      {"clbrdrb", BorderTarget::CellBottom}, {"clbrdrr", BorderTarget::CellRight},
      {"trbrdrt", BorderTarget::RowTop}, {"trbrdrl", BorderTarget::RowLeft},
      {"trbrdrb", BorderTarget::RowBottom}, {"trbrdrr", BorderTarget::RowRight}};
  for (const auto& [name, target] : kBorders) {
    if (word == name) {
      borderTarget_ = target;
      if (PendingBorder* border = Border()) *border = PendingBorder{};
      return;
    }
  }
  if (word.substr(0, 4) == "brdr" && word != "brdrw" && word != "brdrcf") {
    if (PendingBorder* border = Border()) border->styled = word != "brdrnone";
    return;
  }
  if (word == "brdrw") {
    if (PendingBorder* border = Border()) border->width = std::clamp(param, 0, 255);
    return;
  }
  if (word == "brdrcf") {
    if (PendingBorder* border = Border()) border->color = std::max(param, 0);
    return;
  }
  if (word == "clcbpat") { row_.pending.shading = std::max(param, 0); return; }
  if (word == "clvertalt") { row_.pending.verticalAlignment = VerticalAlignment::Top; return; }
  if (word == "clvertalc") { row_.pending.verticalAlignment = VerticalAlignment::Centre; return; }
  if (word == "clvertalb") { row_.pending.verticalAlignment = VerticalAlignment::Bottom; return; }
  if (word == "cellx") {
    if (row_.cells.size() < kMaxCellsPerRow && Charge(sizeof(TableCell))) {
      TableCell cell;
      cell.rightBoundary = twips(kMaxTwips);
      cell.top = row_.pending.top.Result();
      cell.left = row_.pending.left.Result();
      cell.bottom = row_.pending.bottom.Result();
      cell.right = row_.pending.right.Result();
      cell.shading = row_.pending.shading;
      cell.verticalAlignment = row_.pending.verticalAlignment;
      row_.cells.push_back(std::move(cell));
    }
    row_.pending = PendingCell{};
    borderTarget_ = BorderTarget::None;
    return;
  }
}

int Reader::CodePageOfFont(int fontNumber) const {
  auto it = fontIndexOfNumber_.find(fontNumber);
  if (it != fontIndexOfNumber_.end()) {
    const int charset = fonts_[static_cast<size_t>(it->second)].charset;
    if (charset == 204) return 1251;
    if (charset == 0) return 1252;
  }
  return codePage_;
}

CharFormat Reader::RunFormat() const {
  CharFormat format = St().chr.format;
  auto it = fontIndexOfNumber_.find(St().chr.fontNumber);
  if (it == fontIndexOfNumber_.end()) it = fontIndexOfNumber_.find(defaultFontNumber_);
  format.font = it != fontIndexOfNumber_.end() ? it->second : 0;
  return format;
}

void Reader::TextByte(unsigned char byte) {
  GroupState& st = St();
  groupStart_ = false;
  starNext_ = false;
  switch (st.destination) {
    case Destination::Skip:
      return;
    case Destination::FontTable:
      if (!fontEntryOpen_) return;
      if (byte == ';') {
        ControlSymbol(';');
      } else if (fontEntry_.name.size() < 256) {
        fontEntry_.name += static_cast<char>(byte);
      }
      return;
    case Destination::ColorTable:
      if (byte == ';') {
        if (!Charge(sizeof(ColorEntry))) return;
        colors_.push_back(colorHasComponent_ ? ColorEntry{RGB(colorRed_, colorGreen_, colorBlue_), false}
                                             : ColorEntry{0, true});
        colorRed_ = colorGreen_ = colorBlue_ = 0;
        colorHasComponent_ = false;
      }
      return;
    case Destination::Picture: {
      PictureData& picture = *pictures_.back();
      if (picture.bad || byte == ' ' || byte == '\t') return;
      const int value = HexValue(byte);
      if (value < 0) {
        Fail(RtfError::BadHex, "picture data holds a byte that is not a hexadecimal digit", pos_ - 1);
        picture.bad = true;
        return;
      }
      if (picture.pendingNibble < 0) {
        picture.pendingNibble = value;
      } else {
        if ((picture.bytes.size() & 0xFFF) == 0 && !Charge(4096)) {
          picture.bad = true;
          return;
        }
        picture.bytes.push_back(static_cast<std::uint8_t>(picture.pendingNibble * 16 + value));
        picture.pendingNibble = -1;
      }
      return;
    }
    case Destination::FieldInstruction:
    case Destination::Bookmark: {
      std::string& text = st.destination == Destination::Bookmark ? bookmark_ : instruction_;
      if (text.size() < kMaxFieldText && byte >= 0x20) text += static_cast<char>(byte);
      return;
    }
    case Destination::Body:
      break;
  }
  if (byte < 0x80) {
    AddByte(byte);
    return;
  }
  if (CodePageOfFont(st.chr.fontNumber) == 1252) {
    AddCodePoint(Cp1252ToUnicode(byte));
  } else {
    // The one byte cp1251 leaves unmapped is no character.
    AddByte(byte == codepage::kUnmappedByte ? '?' : byte);
  }
}

void Reader::AddCodePoint(char32_t codePoint) {
  if (codePoint >= 0xD800 && codePoint < 0xDC00) {
    highSurrogate_ = static_cast<char16_t>(codePoint);
    return;
  }
  if (codePoint >= 0xDC00 && codePoint < 0xE000) {
    if (highSurrogate_ == 0) return;
    codePoint = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) + (codePoint - 0xDC00);
  }
  highSurrogate_ = 0;
  if (St().destination != Destination::FontTable) {
    // The writer gives a symbol font's bytes as the characters they show.
    const auto font = static_cast<size_t>(RunFormat().font);
    if (font < fonts_.size() && fonts_[font].charset == 2) {
      if (const unsigned char symbol = SymbolByte(codePoint); symbol != 0) {
        AddByte(symbol);
        return;
      }
    }
  }
  const char byte = codepage::Cp1251FromUnicode(codePoint);
  if (byte != '?' || codePoint == '?') {
    if (St().destination == Destination::FontTable) {
      if (fontEntryOpen_ && fontEntry_.name.size() < 256) fontEntry_.name += byte;
      return;
    }
    AddByte(static_cast<unsigned char>(byte));
    return;
  }
  if (St().destination != Destination::Body) return;
  Run run;
  run.format = RunFormat();
  run.text = "?";
  run.unicode = codePoint;
  AddRun(std::move(run));
}

void Reader::AddByte(unsigned char byte) {
  if (St().destination != Destination::Body) return;
  // Control characters are not text: a tab is a tab, the others are dropped.
  if (byte == '\t') {
    Run tab;
    tab.kind = RunKind::Tab;
    tab.format = RunFormat();
    AddRun(std::move(tab));
    return;
  }
  if (byte < 0x20) return;
  Paragraph& paragraph = CurrentStory().current;
  const CharFormat format = RunFormat();
  if (!paragraph.runs.empty()) {
    Run& last = paragraph.runs.back();
    if (last.kind == RunKind::Text && last.unicode == 0 && last.format == format && last.field == St().field) {
      if (!Charge(1)) return;
      last.text += static_cast<char>(byte);
      return;
    }
  }
  Run run;
  run.format = format;
  run.text.assign(1, static_cast<char>(byte));
  AddRun(std::move(run));
}

void Reader::AddRun(Run run) {
  if (St().destination != Destination::Body) return;
  if (!Charge(sizeof(Run))) return;
  Story& story = CurrentStory();
  // Text after a row without \intbl closes the row.
  if (story.rowOpen && !St().inTable) FlushRow(story);
  run.field = St().field;
  story.current.runs.push_back(std::move(run));
}

void Reader::EndParagraph() {
  Story& story = CurrentStory();
  if (!Charge(sizeof(Block))) return;
  Paragraph paragraph = std::move(story.current);
  story.current = Paragraph{};
  paragraph.format = St().par;
  paragraph.endFormat = RunFormat();
  if (St().inTable) {
    story.rowOpen = true;
    story.cellParagraphs.push_back(std::move(paragraph));
    return;
  }
  if (story.rowOpen) FlushRow(story);
  story.blocks->push_back(Block::MakeParagraph(std::move(paragraph)));
}

void Reader::EndCell() {
  Story& story = CurrentStory();
  if (!Charge(sizeof(TableCell) + sizeof(Paragraph))) return;
  Paragraph paragraph = std::move(story.current);
  story.current = Paragraph{};
  paragraph.format = St().par;
  paragraph.endFormat = RunFormat();
  story.cellParagraphs.push_back(std::move(paragraph));
  TableCell cell;
  cell.paragraphs = std::move(story.cellParagraphs);
  story.cellParagraphs.clear();
  if (story.rowCells.size() < kMaxCellsPerRow) story.rowCells.push_back(std::move(cell));
  story.rowOpen = true;
}

void Reader::EndRow() {
  Story& story = CurrentStory();
  // Text after the last \cell and before \row makes a cell of its own.
  if (!story.current.runs.empty()) EndCell();
  FlushRow(story);
}

void Reader::FlushRow(Story& story) {
  if (!story.cellParagraphs.empty() || !story.current.runs.empty()) {
    // An unterminated cell at the row's end.
    if (!story.current.runs.empty() && St().inTable) {
      Paragraph paragraph = std::move(story.current);
      story.current = Paragraph{};
      paragraph.format = St().par;
      story.cellParagraphs.push_back(std::move(paragraph));
    }
    if (!story.cellParagraphs.empty()) {
      TableCell cell;
      cell.paragraphs = std::move(story.cellParagraphs);
      story.cellParagraphs.clear();
      if (story.rowCells.size() < kMaxCellsPerRow) story.rowCells.push_back(std::move(cell));
    }
  }
  story.rowOpen = false;
  if (story.rowCells.empty()) return;
  const size_t cellCount = std::max(story.rowCells.size(), row_.cells.size());
  if (!Charge(sizeof(Block) + cellCount * (sizeof(TableCell) + sizeof(Paragraph)))) return;
  TableRow row;
  row.left = row_.left;
  row.gap = row_.gap;
  row.height = row_.height;
  row.rowTop = row_.rowTop.Result();
  row.rowLeft = row_.rowLeft.Result();
  row.rowBottom = row_.rowBottom.Result();
  row.rowRight = row_.rowRight.Result();
  int boundary = row_.left;
  for (size_t i = 0; i < cellCount; ++i) {
    TableCell cell;
    if (i < row_.cells.size()) {
      cell = row_.cells[i];
    } else {
      // More cells than the definition names: each one a default width further right.
      cell.rightBoundary = std::min(boundary + 1440, kMaxTwips);
    }
    boundary = cell.rightBoundary;
    if (i < story.rowCells.size()) cell.paragraphs = std::move(story.rowCells[i].paragraphs);
    row.cells.push_back(std::move(cell));
  }
  story.rowCells.clear();
  story.blocks->push_back(Block::MakeRow(std::move(row)));
}

void Reader::PageBreak() {
  Story& story = CurrentStory();
  // A page break inside a cell is not the table's to make; after a row "\intbl" may still hold, but no cell is
  // being read.
  if (St().inTable && (story.rowOpen || !story.cellParagraphs.empty() || !story.rowCells.empty() ||
                       !story.current.runs.empty())) {
    return;
  }
  if (!Charge(sizeof(Block))) return;
  if (story.rowOpen) FlushRow(story);
  if (!story.current.runs.empty()) EndParagraph();
  story.blocks->push_back(Block::MakePageBreak());
}

void Reader::FinishStory(Story& story, bool body) {
  if (story.rowOpen || !story.cellParagraphs.empty() || !story.rowCells.empty()) {
    if (!story.current.runs.empty() && !story.cellParagraphs.empty()) {
      story.cellParagraphs.push_back(std::move(story.current));
      story.current = Paragraph{};
    }
    FlushRow(story);
  }
  if (body || !story.current.runs.empty()) {
    Paragraph paragraph = std::move(story.current);
    story.current = Paragraph{};
    paragraph.format = St().par;
    paragraph.endFormat = RunFormat();
    story.blocks->push_back(Block::MakeParagraph(std::move(paragraph)));
  }
}

std::shared_ptr<Picture> Reader::DecodePicture(PictureData& data, size_t at) {
  auto sizeOk = [&](long long width, long long height) {
    if (width <= 0 || height <= 0) {
      Fail(RtfError::BadPicture, "picture without a size", at);
      return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
      Fail(RtfError::PictureTooLarge,
           "picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is too large", at);
      return false;
    }
    return Charge(static_cast<size_t>(width * height) * 4 + sizeof(Picture));
  };
  const std::vector<std::uint8_t>& bytes = data.bytes;
  auto picture = std::make_shared<Picture>();
  picture->source = data.source;

  if (data.source == PictureSource::Bitmap) {
    // A device-dependent bitmap: rows top first, widthbytes each, no colour table.
    const long long width = data.picw, height = data.pich;
    const int bpp = data.bitsPerPixel;
    if (data.planes != 1 || (bpp != 1 && bpp != 16 && bpp != 24 && bpp != 32)) {
      Fail(RtfError::BadPicture, "\\wbitmap of " + std::to_string(bpp) + " bits per pixel is not read", at);
      return nullptr;
    }
    if (!sizeOk(width, height)) return nullptr;
    const long long minStride = (width * bpp + 15) / 16 * 2;
    const long long stride = data.widthBytes;
    if (stride < (width * bpp + 7) / 8 || stride > minStride + 1024 ||
        static_cast<long long>(bytes.size()) < stride * height) {
      Fail(RtfError::BadPicture, "\\wbitmap data shorter than its rows", at);
      return nullptr;
    }
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    picture->pixels.resize(static_cast<size_t>(width * height));
    for (long long y = 0; y < height; ++y) {
      const std::uint8_t* row = bytes.data() + y * stride;
      for (long long x = 0; x < width; ++x) {
        std::uint32_t pixel = 0;
        if (bpp == 1) {
          pixel = (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0;
        } else if (bpp == 16) {
          const unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
          pixel = (((v >> 10) & 31) * 255 / 31) << 16 | (((v >> 5) & 31) * 255 / 31) << 8 | ((v & 31) * 255 / 31);
        } else {
          const std::uint8_t* p = row + x * (bpp / 8);
          pixel = static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16;
        }
        picture->pixels[static_cast<size_t>(y * width + x)] = 0xFF000000u | pixel;
      }
    }
    return picture;
  }

  if (data.source == PictureSource::Dib) {
    // A packed DIB: BITMAPINFOHEADER (40 bytes or a later, longer kind; little-endian), for BI_BITFIELDS the
    // three colour masks (inside a longer header, else after it), the colour table, then rows bottom first
    // unless the height is negative, each padded to 4 bytes.
    auto u16 = [&](size_t o) { return static_cast<unsigned>(bytes[o] | bytes[o + 1] << 8); };
    auto u32 = [&](size_t o) {
      return static_cast<std::uint32_t>(bytes[o] | bytes[o + 1] << 8 | bytes[o + 2] << 16) |
             static_cast<std::uint32_t>(bytes[o + 3]) << 24;
    };
    if (bytes.size() < 40 || u32(0) < 40 || u32(0) > bytes.size()) {
      Fail(RtfError::BadPicture, "\\dibitmap without a bitmap header", at);
      return nullptr;
    }
    const size_t headerSize = u32(0);
    const long long width = static_cast<std::int32_t>(u32(4));
    const long long signedHeight = static_cast<std::int32_t>(u32(8));
    const unsigned bpp = u16(14);
    const std::uint32_t compression = u32(16);
    const std::uint32_t colorsUsed = u32(32);
    const long long height = signedHeight < 0 ? -signedHeight : signedHeight;
    const bool bitfields = compression == 3 && (bpp == 16 || bpp == 32);
    if (u16(12) != 1 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) ||
        (compression != 0 && !bitfields)) {
      Fail(RtfError::BadPicture, "\\dibitmap of a kind not read (" + std::to_string(bpp) + " bits, compression " +
                                     std::to_string(compression) + ")", at);
      return nullptr;
    }
    // Colour tables of deeper pictures are hints for palette devices: skipped.
    const size_t paletteCount = bpp <= 8 && colorsUsed == 0 ? size_t{1} << bpp : colorsUsed;
    if (paletteCount > 256) {
      Fail(RtfError::BadPicture, "\\dibitmap colour table of more than 256 entries", at);
      return nullptr;
    }
    if (!sizeOk(width, height)) return nullptr;
    const long long stride = (width * bpp + 31) / 32 * 4;
    const size_t masksOffset = headerSize >= 52 ? 40 : headerSize;
    const size_t paletteOffset = headerSize + (bitfields && headerSize < 52 ? 12 : 0);
    const size_t bitsOffset = paletteOffset + paletteCount * 4;
    if (bitsOffset > bytes.size() || static_cast<long long>(bytes.size() - bitsOffset) < stride * height) {
      Fail(RtfError::BadPicture, "\\dibitmap data shorter than its rows", at);
      return nullptr;
    }
    // Each channel of a 16- or 32-bit pixel: its mask, scaled to 8 bits.
    struct Channel {
      std::uint32_t mask;
      unsigned shift = 0;
      std::uint32_t maximum = 0;
    };
    Channel channels[3] = {{bpp == 16 ? 0x7C00u : 0xFF0000u}, {bpp == 16 ? 0x3E0u : 0xFF00u},
                           {bpp == 16 ? 0x1Fu : 0xFFu}};
    for (int c = 0; c < 3; ++c) {
      if (bitfields) channels[c].mask = u32(masksOffset + 4 * static_cast<size_t>(c));
      std::uint32_t mask = channels[c].mask;
      while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++channels[c].shift;
      }
      channels[c].maximum = mask;
    }
    auto scaled = [](const Channel& c, std::uint32_t value) {
      return c.maximum == 0 ? 0u : static_cast<std::uint32_t>(
          static_cast<std::uint64_t>((value & c.mask) >> c.shift) * 255 / c.maximum);
    };
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    picture->pixels.resize(static_cast<size_t>(width * height));
    for (long long y = 0; y < height; ++y) {
      const long long sourceRow = signedHeight > 0 ? height - 1 - y : y;
      const std::uint8_t* row = bytes.data() + bitsOffset + sourceRow * stride;
      for (long long x = 0; x < width; ++x) {
        std::uint32_t pixel = 0;
        if (bpp <= 8) {
          const unsigned perByte = 8 / bpp;
          const unsigned shift = (perByte - 1 - static_cast<unsigned>(x % perByte)) * bpp;
          const size_t index = (row[x / perByte] >> shift) & ((1u << bpp) - 1);
          if (index < paletteCount) {
            const std::uint8_t* q = bytes.data() + paletteOffset + index * 4;
            pixel = static_cast<std::uint32_t>(q[0]) | q[1] << 8 | q[2] << 16;
          }
        } else if (bpp == 16 || bpp == 32) {
          const std::uint8_t* p = row + x * (bpp / 8);
          const std::uint32_t value = bpp == 16 ? static_cast<std::uint32_t>(p[0] | p[1] << 8)
                                                : static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
                                                      static_cast<std::uint32_t>(p[3]) << 24;
          pixel = scaled(channels[0], value) << 16 | scaled(channels[1], value) << 8 | scaled(channels[2], value);
        } else {
          const std::uint8_t* p = row + x * (bpp / 8);
          pixel = static_cast<std::uint32_t>(p[0]) | p[1] << 8 | p[2] << 16;
        }
        picture->pixels[static_cast<size_t>(y * width + x)] = 0xFF000000u | pixel;
      }
    }
    return picture;
  }

  if (data.source == PictureSource::Png) {
    // The header chunk comes first: signature (8), length (4), "IHDR" (4), width and height (4 each, big-endian).
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 24 || std::memcmp(bytes.data(), kSignature, 8) != 0 ||
        std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
      Fail(RtfError::BadPicture, "\\pngblip data is not a PNG file", at);
      return nullptr;
    }
    auto be32 = [&](size_t o) {
      return static_cast<long long>(static_cast<std::uint32_t>(bytes[o]) << 24 | bytes[o + 1] << 16 |
                                    bytes[o + 2] << 8 | bytes[o + 3]);
    };
    if (!sizeOk(be32(16), be32(20))) return nullptr;
    struct Source {
      const std::vector<std::uint8_t>* bytes;
      size_t at;
    } source{&bytes, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* out, unsigned int length) {
          auto* s = static_cast<Source*>(closure);
          if (s->bytes->size() - s->at < length) return CAIRO_STATUS_READ_ERROR;
          std::memcpy(out, s->bytes->data() + s->at, length);
          s->at += length;
          return CAIRO_STATUS_SUCCESS;
        },
        &source);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_image_surface_get_width(surface) != be32(16) || cairo_image_surface_get_height(surface) != be32(20)) {
      cairo_surface_destroy(surface);
      Fail(RtfError::BadPicture, "\\pngblip data could not be decoded", at);
      return nullptr;
    }
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    picture->width = width;
    picture->height = height;
    picture->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + static_cast<size_t>(y) * stride);
      for (int x = 0; x < width; ++x) {
        // Premultiplied: laid over the white of the page.
        const std::uint32_t p = row[x];
        const unsigned alpha = p >> 24;
        auto channel = [&](int shift) { return ((p >> shift) & 0xFF) + (255 - alpha); };
        picture->pixels[static_cast<size_t>(y) * width + x] =
            0xFF000000u | channel(16) << 16 | channel(8) << 8 | channel(0);
      }
    }
    cairo_surface_destroy(surface);
    picture->original = bytes;
    return picture;
  }
  return nullptr;
}

void Reader::FinishPicture(PictureData& data, size_t at) {
  if (St().destination != Destination::Body) return;
  std::shared_ptr<Picture> picture;
  if (!data.bad && (data.source == PictureSource::Bitmap || data.source == PictureSource::Dib ||
                    data.source == PictureSource::Png)) {
    picture = DecodePicture(data, at);
  }
  if (!picture) {
    // What we cannot draw keeps its place and size on the page.
    if (!Charge(sizeof(Picture) + (data.source == PictureSource::Jpeg ? data.bytes.size() : 0))) return;
    picture = std::make_shared<Picture>();
    picture->width = 1;
    picture->height = 1;
    picture->pixels.assign(1, 0xFFC0C0C0u);
    const bool jpeg = data.source == PictureSource::Jpeg && !data.bad && !data.bytes.empty();
    picture->source = jpeg ? PictureSource::Jpeg : PictureSource::Placeholder;
    if (jpeg) picture->original = std::move(data.bytes);
    const int fallbackWidth = std::clamp(data.picw, 1, 1 << 15) * 15;
    const int fallbackHeight = std::clamp(data.pich, 1, 1 << 15) * 15;
    data.goalWidth = data.goalWidth > 0 ? data.goalWidth : std::min(fallbackWidth, kMaxTwips);
    data.goalHeight = data.goalHeight > 0 ? data.goalHeight : std::min(fallbackHeight, kMaxTwips);
  }
  picture->goalWidth = data.goalWidth;
  picture->goalHeight = data.goalHeight;
  picture->scaleX = data.scaleX;
  picture->scaleY = data.scaleY;
  Run run;
  run.kind = RunKind::Picture;
  run.format = RunFormat();
  run.picture = std::move(picture);
  AddRun(std::move(run));
}

}  // namespace

const char* RtfErrorName(RtfError error) {
  switch (error) {
    case RtfError::None: return "none";
    case RtfError::NotRtf: return "not RTF";
    case RtfError::TooDeep: return "groups too deep";
    case RtfError::BinPastEnd: return "\\bin past the end";
    case RtfError::BadHex: return "bad hexadecimal digits";
    case RtfError::BadPicture: return "unreadable picture";
    case RtfError::PictureTooLarge: return "picture too large";
    case RtfError::TooLarge: return "document too large";
  }
  return "unknown";
}

RtfReadResult ReadRtf(std::string_view rtf, RichDocument& document) {
  Reader reader(rtf, document);
  return reader.Read();
}

}  // namespace richedit
