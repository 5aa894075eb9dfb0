// Our stand-in for the outside analytics library ("QorAnalytics"): it records the screens, events and sends the
// program reports, with time stamps, in a local SQLite file, and hands nothing to anyone. It opens no socket.
//
// The data file "QorRoad.dat" holds, in UTF-8:
//   session(id, tracking_id, client_id, application, version, started)      one row per InitA
//   screens(id, session, name, flag, at, sent)
//   events(id, session, category, action, label, value, flag, at, sent)
// `at` is seconds since 1970 (UTC); `sent` is 0 until SendInfo marks the rows as handed over.
#pragma once

namespace qoranalytics {

inline constexpr char kModuleName[] = "QorAnalytics";

// The exports, by the names the program binds. Texts are the program's cp1251. Each answers 0 on success and -1
// when the library was not initialised or the file cannot be written.
int InitA(const char* trackingId, const char* clientId, const char* application, const char* version,
          const char* sqlitePath, const char* dataPath, int reserved);
void Close();
int ScreenRegisterA(const char* name, int flag);
int EventRegisterA(const char* category, const char* action, const char* label, const char* value, int flag);
int SendInfo(int reserved, int flag);

// Enters the library in the process's module table under kModuleName. `withoutSendInfo` leaves that export out,
// as an older library lacked it.
void RegisterLibrary(bool withoutSendInfo = false);

}  // namespace qoranalytics
