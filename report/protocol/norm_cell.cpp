#include "report/protocol/norm_cell.h"

#include "report/rtf/rtf_writer.h"

namespace {

constexpr char kLowerBoundSign = static_cast<char>(179);  // >= in Symbol
constexpr char kUpperBoundSign = static_cast<char>(163);  // <= in Symbol

}  // namespace

double RatioOrZero(double value, double divisor) { return divisor == 0 ? 0.0 : value / divisor; }

CString CNormCells::Value(double value, const NormValue& norm, const ValueFormats& formats) const
{
  CString text;
  if (!Applies(norm)) {
    text.Format(formats.plain, value);
    return text;
  }
  const bool met = norm.upper ? value <= norm.current : value >= norm.current;
  text.Format(met ? formats.met : formats.notMet, value);
  return text;
}

void CNormCells::Norm(int tabs, const NormValue& norm, const char* signFormat, const char* plain,
                      const char* changed)
{
  if (!Applies(norm)) {
    return;
  }
  m_writer.WriteTabs(tabs);
  if (signFormat != nullptr) {
    m_writer.SetFont(3, 20, 0);
    CString sign;
    sign.Format(signFormat, norm.upper ? kUpperBoundSign : kLowerBoundSign);
    m_writer.WriteText(sign);
    m_writer.SetFont(2, 20, 0);
  }
  CString text;
  if (norm.current == norm.fallback) {
    text.Format(plain, norm.current);
    m_writer.WriteText(text);
    return;
  }
  text.Format(changed, norm.current);
  m_writer.SetFont(2, 20, 1);
  m_writer.WriteText(text);
  m_writer.SetFont(2, 20, 0);
  m_changed = true;
}

void CNormCells::Footnote()
{
  if (!m_changed) {
    return;
  }
  m_writer.WriteLineBreaks(2);
  m_writer.WriteText("{__________________________________________________________________}");
  m_writer.WriteLineBreaks(1);
  m_writer.WriteText("{* с учетом корректировки пользователем значения нормативного показателя}");
}
