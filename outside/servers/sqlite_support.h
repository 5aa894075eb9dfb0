// Small RAII helpers over the SQLite C interface, shared by the catalogue files.
#pragma once

#include "outside/servers/qord_file.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qorsrv::detail {

// A file from outside may hold a view or a trigger that never ends; every statement on such a file gets this long
// from its preparation to its last row. The deadline is the thread's, since a statement runs where it was made.
inline constexpr std::chrono::seconds kQueryBound{3};
inline thread_local std::chrono::steady_clock::time_point tQueryDeadline;

inline void ArmQueryBound() { tQueryDeadline = std::chrono::steady_clock::now() + kQueryBound; }

inline int QueryOverdue(void*) { return std::chrono::steady_clock::now() > tQueryDeadline ? 1 : 0; }

// Every thousand steps of SQLite's machine the clock is read; past the deadline the statement stops.
inline void BoundQueries(sqlite3* db) { sqlite3_progress_handler(db, 1000, QueryOverdue, nullptr); }

inline std::string QueryFailure(sqlite3* db, int rc)
{
  if (rc == SQLITE_INTERRUPT)
    return Ru(u8"Запрос к каталогу длился дольше ") + std::to_string(kQueryBound.count()) +
           Ru(u8" с и был остановлен");
  return Ru(u8"Ошибка чтения каталога: ") + sqlite3_errmsg(db);
}

class Statement {
public:
  Statement(sqlite3* db, const char* sql) : m_db(db)
  {
    ArmQueryBound();
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
      throw QordError(Ru(u8"Ошибка чтения каталога: ") + sqlite3_errmsg(db));
  }
  // Borrows a statement kept prepared elsewhere; it is reset and unbound again when this is done with it.
  Statement(sqlite3* db, sqlite3_stmt* prepared) : m_db(db), m_stmt(prepared), m_borrowed(true) { ArmQueryBound(); }
  ~Statement()
  {
    if (m_borrowed) {
      // Reset at once, so that no read stays open on the file between calls.
      sqlite3_reset(m_stmt);
      sqlite3_clear_bindings(m_stmt);
    } else {
      sqlite3_finalize(m_stmt);
    }
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int i, const std::string& text)
  {
    Check(sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Statement& Bind(int i, std::int64_t v)
  {
    Check(sqlite3_bind_int64(m_stmt, i, v));
    return *this;
  }
  Statement& Bind(int i, double v)
  {
    Check(sqlite3_bind_double(m_stmt, i, v));
    return *this;
  }
  Statement& BindBlob(int i, const void* data, std::size_t bytes)
  {
    Check(sqlite3_bind_blob64(m_stmt, i, bytes ? data : "", bytes, SQLITE_TRANSIENT));
    return *this;
  }
  bool Step()
  {
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
      return true;
    if (rc == SQLITE_DONE)
      return false;
    throw QordError(QueryFailure(m_db, rc));
  }
  std::string Text(int i)
  {
    const unsigned char* t = sqlite3_column_text(m_stmt, i);
    return t ? std::string(reinterpret_cast<const char*>(t), sqlite3_column_bytes(m_stmt, i)) : std::string();
  }
  std::int64_t Int(int i) { return sqlite3_column_int64(m_stmt, i); }
  double Real(int i) { return sqlite3_column_double(m_stmt, i); }
  std::vector<std::uint8_t> Blob(int i, std::int64_t maxBytes)
  {
    const std::int64_t bytes = sqlite3_column_bytes(m_stmt, i);
    if (bytes > maxBytes)
      throw QordError(Ru(u8"Значение в каталоге больше допустимого"));
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_stmt, i));
    return data ? std::vector<std::uint8_t>(data, data + bytes) : std::vector<std::uint8_t>();
  }

private:
  void Check(int rc)
  {
    if (rc != SQLITE_OK)
      throw QordError(Ru(u8"Ошибка чтения каталога: ") + sqlite3_errmsg(m_db));
  }
  sqlite3* m_db;
  sqlite3_stmt* m_stmt = nullptr;
  bool m_borrowed = false;
};

// Statements prepared once per open database, looked up by their text's address (each caller passes a string
// literal). Finalize() must run before the database is closed, or SQLite keeps it open.
class StatementCache {
public:
  StatementCache() = default;
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;
  StatementCache(StatementCache&& other) noexcept : m_entries(std::move(other.m_entries)) { other.m_entries.clear(); }
  StatementCache& operator=(StatementCache&& other) noexcept
  {
    if (this != &other) {
      Finalize();
      m_entries = std::move(other.m_entries);
      other.m_entries.clear();
    }
    return *this;
  }
  ~StatementCache() { Finalize(); }

  Statement Get(sqlite3* db, const char* sql)
  {
    for (const auto& [text, stmt] : m_entries)
      if (text == sql)
        return Statement(db, stmt);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
      sqlite3_finalize(stmt);
      throw QordError(Ru(u8"Ошибка чтения каталога: ") + sqlite3_errmsg(db));
    }
    m_entries.emplace_back(sql, stmt);
    return Statement(db, stmt);
  }
  void Finalize()
  {
    for (const auto& entry : m_entries)
      sqlite3_finalize(entry.second);
    m_entries.clear();
  }

private:
  std::vector<std::pair<const char*, sqlite3_stmt*>> m_entries;
};

inline void Exec(sqlite3* db, const char* sql)
{
  char* error = nullptr;
  ArmQueryBound();
  if (const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error); rc != SQLITE_OK) {
    std::string message =
        rc == SQLITE_INTERRUPT ? QueryFailure(db, rc) : error ? error : Ru(u8"неизвестная ошибка");
    sqlite3_free(error);
    throw QordError(Ru(u8"Каталог не изменен: ") + message);
  }
}

// Rolls back unless committed, so that a failure part-way leaves nothing behind.
class Transaction {
public:
  explicit Transaction(sqlite3* db) : m_db(db) { Exec(db, "BEGIN IMMEDIATE"); }
  ~Transaction()
  {
    if (!m_done) {
      ArmQueryBound();
      sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  void Commit()
  {
    Exec(m_db, "COMMIT");
    m_done = true;
  }

private:
  sqlite3* m_db;
  bool m_done = false;
};

inline int PragmaInt(sqlite3* db, const char* sql)
{
  Statement s(db, sql);
  return s.Step() ? static_cast<int>(s.Int(0)) : 0;
}

// A name the queries read must be a table: a view runs whatever query its file's author wrote.
inline bool IsTable(sqlite3* db, const char* name)
{
  Statement s(db, "SELECT type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE");
  s.Bind(1, std::string(name));
  return s.Step() && s.Text(0) == "table" && !s.Step();
}

}  // namespace qorsrv::detail
