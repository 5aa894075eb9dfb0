// How a protocol judges a value against its lighting norm and prints it: the value with its mark "(+)" or "(-)",
// and the norm cell with the bound's sign and the norm, starred when the user changed the norm.
#pragma once

#include "platform/mfc-core/mfcstring.h"

class CRTFWriter;
class CProtocolFrame;

// One indicator's norm: the value the project must meet and the value the document gives; -1 means no norm.
struct NormValue {
  double current = -1;
  double fallback = -1;  // the document's value; a current value that differs from it was changed by the user
  bool upper = false;    // an upper bound (<=), else a lower bound (>=)
};

// The three forms of a value cell: without a norm, meeting it, failing it.
struct ValueFormats {
  const char* plain;
  const char* met;
  const char* notMet;
};

// The norm cells of one section, with the footnote that a changed norm asks for.
class CNormCells {
public:
  // `inForce`: the area has norms (a norms record with a document chosen).
  CNormCells(CRTFWriter& writer, bool inForce) : m_writer(writer), m_inForce(inForce) {}

  bool Applies(const NormValue& norm) const { return m_inForce && norm.current != -1; }
  // The value formatted plainly, or with its mark when the norm applies; a value equal to its norm complies.
  CString Value(double value, const NormValue& norm, const ValueFormats& formats) const;
  // Nothing without a norm; else the tabs, the bound's sign in Symbol formatted by `signFormat` (a %c for the
  // character; none when null), and the norm in `plain` or, when changed, in bold `changed`.
  void Norm(int tabs, const NormValue& norm, const char* signFormat, const char* plain, const char* changed);
  // The footnote when a changed norm was printed.
  void Footnote();
  bool Changed() const { return m_changed; }

private:
  CRTFWriter& m_writer;
  bool m_inForce;
  bool m_changed = false;
};

// A computed ratio: 0 when the divisor is 0.
double RatioOrZero(double value, double divisor);
