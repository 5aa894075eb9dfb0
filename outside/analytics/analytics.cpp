#include "outside/analytics/analytics.h"

#include "platform/base/codepage.h"
#include "platform/base/module.h"
#include "platform/base/paths.h"

#include <sqlite3.h>

#include <ctime>
#include <mutex>
#include <string>

namespace qoranalytics {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS session(id INTEGER PRIMARY KEY, tracking_id TEXT, client_id TEXT, application TEXT,
                                   version TEXT, started INTEGER);
CREATE TABLE IF NOT EXISTS screens(id INTEGER PRIMARY KEY, session INTEGER, name TEXT, flag INTEGER, at INTEGER,
                                   sent INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS events(id INTEGER PRIMARY KEY, session INTEGER, category TEXT, action TEXT, label TEXT,
                                  value TEXT, flag INTEGER, at INTEGER, sent INTEGER NOT NULL DEFAULT 0);
)sql";

// Calls come from the interface thread and, for the crash event, from a faulting one.
std::mutex g_lock;
sqlite3* g_db = nullptr;
sqlite3_int64 g_session = 0;

std::string Utf8(const char* text)
{
  return text != nullptr ? codepage::Cp1251ToUtf8(text) : std::string();
}

int Insert(const char* sql, std::initializer_list<std::string> texts, int flag)
{
  if (g_db == nullptr) {
    return -1;
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(g_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
    return -1;
  }
  int index = 1;
  sqlite3_bind_int64(statement, index++, g_session);
  for (const std::string& text : texts) {
    sqlite3_bind_text(statement, index++, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  sqlite3_bind_int(statement, index++, flag);
  sqlite3_bind_int64(statement, index, static_cast<sqlite3_int64>(std::time(nullptr)));
  int rc = sqlite3_step(statement);
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE ? 0 : -1;
}

void CloseLocked()
{
  if (g_db != nullptr) {
    sqlite3_close(g_db);
    g_db = nullptr;
  }
}

}  // namespace

int InitA(const char* trackingId, const char* clientId, const char* application, const char* version,
          const char* /*sqlitePath*/, const char* dataPath, int /*reserved*/)
{
  std::lock_guard<std::mutex> guard(g_lock);
  CloseLocked();
  if (dataPath == nullptr || dataPath[0] == '\0') {
    return -1;
  }
  const std::string file = platform::ToFileSystemPath(dataPath);
  if (sqlite3_open_v2(file.c_str(), &g_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK ||
      sqlite3_exec(g_db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
    CloseLocked();
    return -1;
  }
  sqlite3_stmt* statement = nullptr;
  const char* sql = "INSERT INTO session(tracking_id, client_id, application, version, started) VALUES(?,?,?,?,?)";
  if (sqlite3_prepare_v2(g_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
    CloseLocked();
    return -1;
  }
  int index = 1;
  for (const char* text : {trackingId, clientId, application, version}) {
    std::string utf8 = Utf8(text);
    sqlite3_bind_text(statement, index++, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
  }
  sqlite3_bind_int64(statement, index, static_cast<sqlite3_int64>(std::time(nullptr)));
  int rc = sqlite3_step(statement);
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) {
    CloseLocked();
    return -1;
  }
  g_session = sqlite3_last_insert_rowid(g_db);
  return 0;
}

void Close()
{
  std::lock_guard<std::mutex> guard(g_lock);
  CloseLocked();
}

int ScreenRegisterA(const char* name, int flag)
{
  std::lock_guard<std::mutex> guard(g_lock);
  return Insert("INSERT INTO screens(session, name, flag, at) VALUES(?,?,?,?)", {Utf8(name)}, flag);
}

int EventRegisterA(const char* category, const char* action, const char* label, const char* value, int flag)
{
  std::lock_guard<std::mutex> guard(g_lock);
  return Insert("INSERT INTO events(session, category, action, label, value, flag, at) VALUES(?,?,?,?,?,?,?)",
                {Utf8(category), Utf8(action), Utf8(label), Utf8(value)}, flag);
}

int SendInfo(int /*reserved*/, int /*flag*/)
{
  std::lock_guard<std::mutex> guard(g_lock);
  if (g_db == nullptr) {
    return -1;
  }
  const char* sql = "UPDATE screens SET sent = 1 WHERE sent = 0; UPDATE events SET sent = 1 WHERE sent = 0;";
  return sqlite3_exec(g_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : -1;
}

void RegisterLibrary(bool withoutSendInfo)
{
  platform::ModuleSymbols symbols{
      {"InitA", reinterpret_cast<void*>(&InitA)},
      {"Close", reinterpret_cast<void*>(&Close)},
      {"ScreenRegisterA", reinterpret_cast<void*>(&ScreenRegisterA)},
      {"EventRegisterA", reinterpret_cast<void*>(&EventRegisterA)},
  };
  if (!withoutSendInfo) {
    symbols["SendInfo"] = reinterpret_cast<void*>(&SendInfo);
  }
  platform::RegisterModule(kModuleName, std::move(symbols));
}

}  // namespace qoranalytics
