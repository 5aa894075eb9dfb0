// Small RAII helpers over the SQLite C interface, shared by the catalogue files.
#pragma once

#include "outside/servers/qord_file.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qorsrv::detail {

class Statement {
public:
  Statement(sqlite3* db, const char* sql) : m_db(db)
  {
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
      throw QordError(Ru(u8"Ошибка чтения каталога: ") + sqlite3_errmsg(db));
  }
  // Borrows a statement kept prepared elsewhere; it is reset and unbound again when this is done with it.
  Statement(sqlite3* db, sqlite3_stmt* prepared) : m_db(db), m_stmt(prepared), m_borrowed(true) {}
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
    throw QordError(Ru(u8"Ошибка чтения каталога: ") + sqlite3_errmsg(m_db));
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
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
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
    if (!m_done)
      sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
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

}  // namespace qorsrv::detail
