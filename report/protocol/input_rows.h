// What the input-data sections of both protocols write alike: number texts, rows of caption, tabs, unit and
// value, the string-table texts of mounting kinds, the norm document block and the luminaire's rows.
#pragma once

#include "platform/mfc-core/mfcstring.h"

class CLightDevice;
class CProtocolFrame;
class CRTFWriter;

CString Format(const char* format, double value);
// A text of the user or a catalogue as a group of its own.
CString Named(const CString& text);
// caption, tabs, unit and 1 tab when there is one, value, line breaks
void Row(CRTFWriter& w, const char* caption, int tabs, const char* unit, const CString& value, int breaks = 1);
// A string-table text in braces; empty for id 0.
CString StringOrEmpty(UINT id);
UINT MountingStringId(int kind);
// The luminaire's maker: its second maker name when there is one.
const CString& Maker(const CLightDevice& luminaire);
// The norm document, its title and the lit object. An unknown document writes no lines, or, with
// `emptyUnknownLines`, the two lines left empty.
void NormDocumentBlock(CProtocolFrame& f, bool emptyUnknownLines = false);
// The rows of the luminaire section with the maker given.
void LuminaireRows(CRTFWriter& w, const CLightDevice& luminaire, const CString& maker);
