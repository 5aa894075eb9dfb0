// The RTF writer of the rich-edit control's stream-out.
//
// Always a whole document other programs open:
//   {\rtf1\ansi\ansicpg1251\deffN
//   {\fonttbl{\fN\f<family>[\fcharsetC] <name>;}...}        font table first, so that a group inserted
//   {\colortbl;\redR\greenG\blueB;...}                       after the colour table lands after both
//   \paperwW\paperhH\marglL\margrR\margtT\margbB
//   [{\header ...}][{\footer ...}]
//   blocks, then "}".
// A paragraph is "\pard" with its format words, its runs and "\par" (the final paragraph has none); character
// formats are written as changes from the previous run. A table row is "\trowd" with the row's words and, per
// cell, borders, shading, vertical alignment and "\cellxN"; then per cell its paragraphs "\pard\intbl ..." with
// "\par" between them and "\cell" after the last; then "\row". A page break is "\pard\page". Pictures are
// "{\pict\pngblip ...}" for PNG files, "{\pict\jpegblip ...}" for JPEG files and otherwise "{\pict\dibitmap0 ...}"
// with a 24-bit bottom-up DIB made from the pixels; never \wbitmap, which other programs refuse. Text bytes
// above 127 are written as \'hh (cp1251), "\", "{", "}" escaped, and characters cp1251 lacks as \uN?.
#pragma once

#include "platform/richedit/rich_document.h"

#include <string>

namespace richedit {

std::string WriteRtf(const RichDocument& document);

// The plain-text stream-out (SF_TEXT); the same as RichDocument::PlainText.
std::string WritePlainText(const RichDocument& document);

}  // namespace richedit
