#include "model/lamp_post.h"

#include "model/version.h"
#include "outside/servers/ipole_catalog.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/exceptions.h"

using ObjectModel::IsVersionAtLeast;
using ObjectModel::MakeFormatVersion;

namespace {

constexpr DWORD kArmTurnGate = MakeFormatVersion(4, 2, 0, 0);
constexpr DWORD kWordsGate = MakeFormatVersion(4, 3, 5, 0);

// A stored arm takes at least rise, outreach and tilt; a bracket at least three empty texts; for the count checks.
constexpr ULONGLONG kMinArmBytes = 3 * sizeof(double);
constexpr ULONGLONG kMinBracketBytes = 3;

std::int32_t ReadCountField(CArchive& ar, ULONGLONG minBytesEach)
{
  std::int32_t count = 0;
  ar >> count;
  if (count < 0)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  ar.EnsureAvailable(static_cast<ULONGLONG>(count) * minBytesEach);
  return count;
}

}  // namespace

CString TrimTrailingSpaces(const CString& text)
{
  int length = text.GetLength();
  while (length > 1 && text[length - 1] == ' ')
    --length;
  return text.Left(length);
}

CLampConsole::CLampConsole(const CString& designation_) : designation(designation_)
{
  arms.Add(LAMP_CONSOLE_INFO{});
  currentArm = 0;
}

CLampConsole& CLampConsole::Assign(const CLampConsole& s)
{
  if (&s == this)
    return *this;
  code = s.code;
  model = s.model;
  designation = s.designation;
  word1 = s.word1;
  word2 = s.word2;
  word3 = s.word3;
  arms.RemoveAll();
  for (const LAMP_CONSOLE_INFO& arm : s.arms)
    arms.Add(arm);
  currentArm = s.currentArm;
  return *this;
}

void CLampConsole::SetCatalogueText1(const CString& text) { code = TrimTrailingSpaces(text); }
void CLampConsole::SetCatalogueText2(const CString& text) { model = TrimTrailingSpaces(text); }
void CLampConsole::SetCatalogueText3(const CString& text) { designation = TrimTrailingSpaces(text); }

// A bracket, in file order: code, model, designation; word 1, word 2, arm count, current arm (int32, 4.2.0.0);
// each arm: rise, outreach, tilt (doubles), turn (double, 4.2.0.0), value 5, value 6 (doubles) and word (int32)
// (4.3.5.0); then word 3 (int32, 4.3.5.0).
void CLampConsole::Serialize(CArchive* archive, const DWORD* fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    ar << code << model << designation << word1 << word2 << static_cast<std::int32_t>(arms.GetSize()) << currentArm;
    for (const LAMP_CONSOLE_INFO& arm : arms)
      ar << arm.rise << arm.outreach << arm.tilt << arm.turn << arm.value5 << arm.value6 << arm.word;
    ar << word3;
    return;
  }
  const DWORD version = *fileVersion;
  ar >> code >> model >> designation;
  std::int32_t armCount = 1;
  word1 = word2 = 0;
  currentArm = 0;
  if (IsVersionAtLeast(version, kArmTurnGate)) {
    ar >> word1 >> word2;
    armCount = ReadCountField(ar, kMinArmBytes);
    ar >> currentArm;
  }
  arms.RemoveAll();
  for (std::int32_t i = 0; i < armCount; ++i) {
    LAMP_CONSOLE_INFO arm;
    ar >> arm.rise >> arm.outreach >> arm.tilt;
    if (IsVersionAtLeast(version, kArmTurnGate))
      ar >> arm.turn;
    if (IsVersionAtLeast(version, kWordsGate))
      ar >> arm.value5 >> arm.value6 >> arm.word;
    arms.Add(arm);
  }
  word3 = 0;
  if (IsVersionAtLeast(version, kWordsGate))
    ar >> word3;
}

CLampPost::CLampPost(const CString& designation_) : designation(designation_) {}

CLampPost::~CLampPost() { ClearBrackets(); }

CLampConsole* CLampPost::GetFirstBracket() const
{
  CLampConsole* bracket = currentBracket;
  while (bracket && bracket->prev)
    bracket = bracket->prev;
  return bracket;
}

CLampConsole* CLampPost::GetLastBracket() const
{
  CLampConsole* bracket = currentBracket;
  while (bracket && bracket->next)
    bracket = bracket->next;
  return bracket;
}

int CLampPost::GetBracketCount() const
{
  int count = 0;
  for (CLampConsole* b = GetFirstBracket(); b; b = b->next)
    ++count;
  return count;
}

CLampConsole* CLampPost::AddBracket(const CString& bracketDesignation)
{
  auto* bracket = new CLampConsole(bracketDesignation);
  if (CLampConsole* last = GetLastBracket()) {
    last->next = bracket;
    bracket->prev = last;
  }
  currentBracket = bracket;
  return bracket;
}

void CLampPost::ClearBrackets()
{
  CLampConsole* bracket = GetLastBracket();
  while (bracket) {
    CLampConsole* prev = bracket->prev;
    delete bracket;
    bracket = prev;
  }
  currentBracket = nullptr;
}

int CLampPost::GetCurrentBracketIndex() const
{
  if (!currentBracket)
    return -1;
  int index = 0;
  for (CLampConsole* b = currentBracket->prev; b; b = b->prev)
    ++index;
  return index;
}

CLampPost& CLampPost::Assign(const CLampPost& s)
{
  if (&s == this)
    return *this;
  code = s.code;
  model = s.model;
  designation = s.designation;
  height = s.height;
  word = s.word;
  ClearBrackets();
  const int current = s.GetCurrentBracketIndex();
  CLampConsole* chosen = nullptr;
  int index = 0;
  for (CLampConsole* b = s.GetFirstBracket(); b; b = b->next, ++index) {
    CLampConsole* copy = AddBracket(CString());
    copy->Assign(*b);
    if (index == current)
      chosen = copy;
  }
  currentBracket = chosen;
  return *this;
}

CLampPost& CLampPost::Assign(const qorsrv::PoleRecord& s)
{
  code = s.code.c_str();
  designation = s.designation.c_str();
  model = s.model.c_str();
  height = s.height;
  word = s.word;
  ClearBrackets();
  CLampConsole* chosen = nullptr;
  for (std::size_t i = 0; i < s.brackets.size(); ++i) {
    const qorsrv::BracketRecord& from = s.brackets[i];
    CLampConsole* bracket = AddBracket(CString(from.designation.c_str()));
    bracket->code = from.code.c_str();
    bracket->model = from.model.c_str();
    bracket->word1 = from.word1;
    bracket->word2 = from.word2;
    bracket->word3 = from.word3;
    bracket->arms.RemoveAll();
    for (const qorsrv::ArmRecord& a : from.arms)
      bracket->arms.Add(LAMP_CONSOLE_INFO{a.rise, a.outreach, a.tilt, a.turn, a.value5, a.value6, a.word});
    // A bracket without seats still carries one luminaire position.
    if (bracket->arms.IsEmpty())
      bracket->arms.Add(LAMP_CONSOLE_INFO{});
    bracket->currentArm = from.currentArm >= 0 && from.currentArm < bracket->arms.GetSize() ? from.currentArm : 0;
    if (static_cast<std::int32_t>(i) == s.currentBracket)
      chosen = bracket;
  }
  currentBracket = chosen ? chosen : GetFirstBracket();
  if (!chosen && s.brackets.empty())
    currentBracket = nullptr;
  return *this;
}

void CLampPost::SetCatalogueText1(const CString& text) { code = TrimTrailingSpaces(text); }
void CLampPost::SetCatalogueText2(const CString& text) { designation = TrimTrailingSpaces(text); }
void CLampPost::SetCatalogueText3(const CString& text) { model = TrimTrailingSpaces(text); }

// The pole record, in file order: code, designation, model; height (double); word (int32, 4.3.5.0);
// bracket count, index of the current bracket (-1 none) (int32); each bracket head to tail.
void CLampPost::Serialize(CArchive* archive, const DWORD* fileVersion)
{
  CArchive& ar = *archive;
  if (ar.IsStoring()) {
    // A stored file always names the first arm current, and the records go on with it.
    for (CLampConsole* b = GetFirstBracket(); b; b = b->next) {
      if (!b->arms.IsEmpty())
        b->currentArm = 0;
    }
    ar << code << designation << model << height << word;
    ar << static_cast<std::int32_t>(GetBracketCount()) << static_cast<std::int32_t>(GetCurrentBracketIndex());
    for (CLampConsole* b = GetFirstBracket(); b; b = b->next)
      b->Serialize(archive, fileVersion);
    return;
  }
  ar >> code >> designation >> model >> height;
  word = 0;
  if (IsVersionAtLeast(*fileVersion, kWordsGate))
    ar >> word;
  const std::int32_t count = ReadCountField(ar, kMinBracketBytes);
  std::int32_t current = -1;
  ar >> current;
  ClearBrackets();
  CLampConsole* chosen = nullptr;
  for (std::int32_t i = 0; i < count; ++i) {
    CLampConsole* bracket = AddBracket(CString());
    bracket->Serialize(archive, fileVersion);
    if (i == current)
      chosen = bracket;
  }
  currentBracket = chosen ? chosen : GetFirstBracket();
}
