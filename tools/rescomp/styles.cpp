#include "tools/rescomp/styles.h"

#include <algorithm>

#include <strings.h>

namespace rescomp {
namespace {

// The values are the platform's documented ones; the tests hold them against platform/user's headers.
const std::vector<StyleFlag> kWindowFlags = {
    {"WS_OVERLAPPED", 0x00000000},   {"WS_POPUP", 0x80000000},     {"WS_CHILD", 0x40000000},
    {"WS_MINIMIZE", 0x20000000},     {"WS_VISIBLE", 0x10000000},   {"WS_DISABLED", 0x08000000},
    {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000},
    {"WS_CAPTION", 0x00C00000},      {"WS_BORDER", 0x00800000},    {"WS_DLGFRAME", 0x00400000},
    {"WS_VSCROLL", 0x00200000},      {"WS_HSCROLL", 0x00100000},   {"WS_SYSMENU", 0x00080000},
    {"WS_THICKFRAME", 0x00040000},   {"WS_GROUP", 0x00020000},     {"WS_TABSTOP", 0x00010000},
    {"WS_MINIMIZEBOX", 0x00020000},  {"WS_MAXIMIZEBOX", 0x00010000}, {"WS_SIZEBOX", 0x00040000},
    {"WS_OVERLAPPEDWINDOW", 0x00CF0000}, {"WS_POPUPWINDOW", 0x80880000},
};

const std::vector<StyleFlag> kExtendedFlags = {
    {"WS_EX_DLGMODALFRAME", 0x00000001}, {"WS_EX_NOPARENTNOTIFY", 0x00000004}, {"WS_EX_TOPMOST", 0x00000008},
    {"WS_EX_ACCEPTFILES", 0x00000010},   {"WS_EX_TRANSPARENT", 0x00000020},    {"WS_EX_TOOLWINDOW", 0x00000080},
    {"WS_EX_WINDOWEDGE", 0x00000100},    {"WS_EX_CLIENTEDGE", 0x00000200},     {"WS_EX_CONTEXTHELP", 0x00000400},
    {"WS_EX_RIGHT", 0x00001000},         {"WS_EX_LEFT", 0x00000000},           {"WS_EX_RTLREADING", 0x00002000},
    {"WS_EX_LEFTSCROLLBAR", 0x00004000}, {"WS_EX_CONTROLPARENT", 0x00010000},  {"WS_EX_STATICEDGE", 0x00020000},
    {"WS_EX_APPWINDOW", 0x00040000},     {"WS_EX_NOACTIVATE", 0x08000000},
};

const std::vector<StyleFlag> kDialogFlags = {
    {"DS_ABSALIGN", 0x0001},    {"DS_SYSMODAL", 0x0002},  {"DS_3DLOOK", 0x0004},      {"DS_FIXEDSYS", 0x0008},
    {"DS_NOFAILCREATE", 0x0010}, {"DS_LOCALEDIT", 0x0020}, {"DS_SETFONT", 0x0040},     {"DS_MODALFRAME", 0x0080},
    {"DS_NOIDLEMSG", 0x0100},   {"DS_SETFOREGROUND", 0x0200}, {"DS_CONTROL", 0x0400}, {"DS_CENTER", 0x0800},
    {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x0048},
};

const std::vector<ControlClass> kClasses = {
    {"Button", 0x0080,
     {{"BS_PUSHBUTTON", 0x0},    {"BS_DEFPUSHBUTTON", 0x1}, {"BS_CHECKBOX", 0x2},     {"BS_AUTOCHECKBOX", 0x3},
      {"BS_RADIOBUTTON", 0x4},   {"BS_3STATE", 0x5},        {"BS_AUTO3STATE", 0x6},   {"BS_GROUPBOX", 0x7},
      {"BS_USERBUTTON", 0x8},    {"BS_AUTORADIOBUTTON", 0x9}, {"BS_PUSHBOX", 0xA},    {"BS_OWNERDRAW", 0xB},
      {"BS_LEFTTEXT", 0x20},     {"BS_RIGHTBUTTON", 0x20},  {"BS_TEXT", 0x0},         {"BS_ICON", 0x40},
      {"BS_BITMAP", 0x80},       {"BS_LEFT", 0x100},        {"BS_RIGHT", 0x200},      {"BS_CENTER", 0x300},
      {"BS_TOP", 0x400},         {"BS_BOTTOM", 0x800},      {"BS_VCENTER", 0xC00},    {"BS_PUSHLIKE", 0x1000},
      {"BS_MULTILINE", 0x2000},  {"BS_NOTIFY", 0x4000},     {"BS_FLAT", 0x8000}}},
    {"Edit", 0x0081,
     {{"ES_LEFT", 0x0},          {"ES_CENTER", 0x1},        {"ES_RIGHT", 0x2},        {"ES_MULTILINE", 0x4},
      {"ES_UPPERCASE", 0x8},     {"ES_LOWERCASE", 0x10},    {"ES_PASSWORD", 0x20},    {"ES_AUTOVSCROLL", 0x40},
      {"ES_AUTOHSCROLL", 0x80},  {"ES_NOHIDESEL", 0x100},   {"ES_OEMCONVERT", 0x400}, {"ES_READONLY", 0x800},
      {"ES_WANTRETURN", 0x1000}, {"ES_NUMBER", 0x2000}}},
    {"Static", 0x0082,
     {{"SS_LEFT", 0x0},          {"SS_CENTER", 0x1},        {"SS_RIGHT", 0x2},        {"SS_ICON", 0x3},
      {"SS_BLACKRECT", 0x4},     {"SS_GRAYRECT", 0x5},      {"SS_WHITERECT", 0x6},    {"SS_BLACKFRAME", 0x7},
      {"SS_GRAYFRAME", 0x8},     {"SS_WHITEFRAME", 0x9},    {"SS_USERITEM", 0xA},     {"SS_SIMPLE", 0xB},
      {"SS_LEFTNOWORDWRAP", 0xC}, {"SS_OWNERDRAW", 0xD},    {"SS_BITMAP", 0xE},       {"SS_ENHMETAFILE", 0xF},
      {"SS_ETCHEDHORZ", 0x10},   {"SS_ETCHEDVERT", 0x11},   {"SS_ETCHEDFRAME", 0x12}, {"SS_REALSIZECONTROL", 0x40},
      {"SS_NOPREFIX", 0x80},     {"SS_NOTIFY", 0x100},      {"SS_CENTERIMAGE", 0x200}, {"SS_RIGHTJUST", 0x400},
      {"SS_REALSIZEIMAGE", 0x800}, {"SS_SUNKEN", 0x1000},   {"SS_EDITCONTROL", 0x2000}, {"SS_ENDELLIPSIS", 0x4000},
      {"SS_PATHELLIPSIS", 0x8000}, {"SS_WORDELLIPSIS", 0xC000}}},
    {"ListBox", 0x0083,
     {{"LBS_NOTIFY", 0x1},       {"LBS_SORT", 0x2},         {"LBS_NOREDRAW", 0x4},    {"LBS_MULTIPLESEL", 0x8},
      {"LBS_OWNERDRAWFIXED", 0x10}, {"LBS_OWNERDRAWVARIABLE", 0x20}, {"LBS_HASSTRINGS", 0x40},
      {"LBS_USETABSTOPS", 0x80}, {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_MULTICOLUMN", 0x200},
      {"LBS_WANTKEYBOARDINPUT", 0x400}, {"LBS_EXTENDEDSEL", 0x800}, {"LBS_DISABLENOSCROLL", 0x1000},
      {"LBS_NODATA", 0x2000},    {"LBS_NOSEL", 0x4000},     {"LBS_STANDARD", 0x00A00003}}},
    {"ComboBox", 0x0085,
     {{"CBS_SIMPLE", 0x1},       {"CBS_DROPDOWN", 0x2},     {"CBS_DROPDOWNLIST", 0x3}, {"CBS_OWNERDRAWFIXED", 0x10},
      {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40}, {"CBS_OEMCONVERT", 0x80}, {"CBS_SORT", 0x100},
      {"CBS_HASSTRINGS", 0x200}, {"CBS_NOINTEGRALHEIGHT", 0x400}, {"CBS_DISABLENOSCROLL", 0x800},
      {"CBS_UPPERCASE", 0x2000}, {"CBS_LOWERCASE", 0x4000}}},
    {"ScrollBar", 0x0084,
     {{"SBS_HORZ", 0x0},         {"SBS_VERT", 0x1},         {"SBS_TOPALIGN", 0x2},    {"SBS_LEFTALIGN", 0x2},
      {"SBS_BOTTOMALIGN", 0x4},  {"SBS_RIGHTALIGN", 0x4},   {"SBS_SIZEBOX", 0x8},     {"SBS_SIZEGRIP", 0x10}}},
    {"msctls_updown32", 0,
     {{"UDS_WRAP", 0x1},         {"UDS_SETBUDDYINT", 0x2},  {"UDS_ALIGNRIGHT", 0x4},  {"UDS_ALIGNLEFT", 0x8},
      {"UDS_AUTOBUDDY", 0x10},   {"UDS_ARROWKEYS", 0x20},   {"UDS_HORZ", 0x40},       {"UDS_NOTHOUSANDS", 0x80},
      {"UDS_HOTTRACK", 0x100}}},
    {"msctls_progress32", 0, {{"PBS_SMOOTH", 0x1}, {"PBS_VERTICAL", 0x4}, {"PBS_MARQUEE", 0x8}}},
    {"msctls_trackbar32", 0,
     {{"TBS_AUTOTICKS", 0x1},    {"TBS_VERT", 0x2},         {"TBS_HORZ", 0x0},        {"TBS_TOP", 0x4},
      {"TBS_BOTTOM", 0x0},       {"TBS_LEFT", 0x4},         {"TBS_RIGHT", 0x0},       {"TBS_BOTH", 0x8},
      {"TBS_NOTICKS", 0x10},     {"TBS_ENABLESELRANGE", 0x20}, {"TBS_FIXEDLENGTH", 0x40}, {"TBS_NOTHUMB", 0x80},
      {"TBS_TOOLTIPS", 0x100},   {"TBS_REVERSED", 0x200},   {"TBS_DOWNISLEFT", 0x400}}},
    {"SysTreeView32", 0,
     {{"TVS_HASBUTTONS", 0x1},   {"TVS_HASLINES", 0x2},     {"TVS_LINESATROOT", 0x4}, {"TVS_EDITLABELS", 0x8},
      {"TVS_DISABLEDRAGDROP", 0x10}, {"TVS_SHOWSELALWAYS", 0x20}, {"TVS_RTLREADING", 0x40},
      {"TVS_NOTOOLTIPS", 0x80},  {"TVS_CHECKBOXES", 0x100}, {"TVS_TRACKSELECT", 0x200}, {"TVS_SINGLEEXPAND", 0x400},
      {"TVS_INFOTIP", 0x800},    {"TVS_FULLROWSELECT", 0x1000}, {"TVS_NOSCROLL", 0x2000},
      {"TVS_NONEVENHEIGHT", 0x4000}, {"TVS_NOHSCROLL", 0x8000}}},
    {"SysTabControl32", 0,
     {{"TCS_SCROLLOPPOSITE", 0x1}, {"TCS_BOTTOM", 0x2},     {"TCS_RIGHT", 0x2},       {"TCS_MULTISELECT", 0x4},
      {"TCS_FLATBUTTONS", 0x8},  {"TCS_FORCEICONLEFT", 0x10}, {"TCS_FORCELABELLEFT", 0x20}, {"TCS_HOTTRACK", 0x40},
      {"TCS_VERTICAL", 0x80},    {"TCS_TABS", 0x0},         {"TCS_BUTTONS", 0x100},   {"TCS_SINGLELINE", 0x0},
      {"TCS_MULTILINE", 0x200},  {"TCS_RIGHTJUSTIFY", 0x0}, {"TCS_FIXEDWIDTH", 0x400}, {"TCS_RAGGEDRIGHT", 0x800},
      {"TCS_FOCUSONBUTTONDOWN", 0x1000}, {"TCS_OWNERDRAWFIXED", 0x2000}, {"TCS_TOOLTIPS", 0x4000},
      {"TCS_FOCUSNEVER", 0x8000}}},
    {"SysListView32", 0,
     {{"LVS_ICON", 0x0},         {"LVS_REPORT", 0x1},       {"LVS_SMALLICON", 0x2},   {"LVS_LIST", 0x3},
      {"LVS_SINGLESEL", 0x4},    {"LVS_SHOWSELALWAYS", 0x8}, {"LVS_SORTASCENDING", 0x10},
      {"LVS_SORTDESCENDING", 0x20}, {"LVS_SHAREIMAGELISTS", 0x40}, {"LVS_NOLABELWRAP", 0x80},
      {"LVS_AUTOARRANGE", 0x100}, {"LVS_EDITLABELS", 0x200}, {"LVS_OWNERDRAWFIXED", 0x400},
      {"LVS_ALIGNTOP", 0x0},     {"LVS_ALIGNLEFT", 0x800},  {"LVS_OWNERDATA", 0x1000}, {"LVS_NOSCROLL", 0x2000},
      {"LVS_NOCOLUMNHEADER", 0x4000}, {"LVS_NOSORTHEADER", 0x8000}}},
};

const StyleFlag* Find(const std::vector<StyleFlag>& flags, const std::string& name)
{
  auto it = std::find_if(flags.begin(), flags.end(), [&](const StyleFlag& f) { return name == f.name; });
  return it == flags.end() ? nullptr : &*it;
}

}  // namespace

const std::vector<ControlClass>& KnownClasses() { return kClasses; }

const ControlClass* FindClass(const std::string& name)
{
  // Class names are compared without case, as the window manager does.
  auto it = std::find_if(kClasses.begin(), kClasses.end(), [&](const ControlClass& c) {
    return strcasecmp(name.c_str(), c.name) == 0;
  });
  return it == kClasses.end() ? nullptr : &*it;
}

std::optional<StyleValue> FindStyle(const std::string& name, const std::vector<StyleFlag>* own)
{
  if (const StyleFlag* f = Find(kExtendedFlags, name)) {
    return StyleValue{f->value, true};
  }
  if (const StyleFlag* f = Find(kWindowFlags, name)) {
    return StyleValue{f->value, false};
  }
  if (own != nullptr) {
    if (const StyleFlag* f = Find(*own, name)) {
      return StyleValue{f->value, false};
    }
  }
  return std::nullopt;
}

const std::vector<StyleFlag>& DialogFlags() { return kDialogFlags; }

std::vector<StyleFlag> AllStyleFlags()
{
  std::vector<StyleFlag> all = kWindowFlags;
  all.insert(all.end(), kExtendedFlags.begin(), kExtendedFlags.end());
  all.insert(all.end(), kDialogFlags.begin(), kDialogFlags.end());
  for (const auto& c : kClasses) {
    all.insert(all.end(), c.flags.begin(), c.flags.end());
  }
  return all;
}

}  // namespace rescomp
