#include "common/SqliteConnection.h"

#include <sqlite3.h>

#include "common/Logger.h"
#include "common/SqliteStatement.h"

CSqliteConnection::CSqliteConnection(const std::string& path) { Open(path); }

CSqliteConnection::~CSqliteConnection() { Close(); }

void CSqliteConnection::Close() {
  if (m_handle) sqlite3_close(m_handle);
  m_handle = nullptr;
}

int CSqliteConnection::Note(int result) {
  const int primary = result & 0xFF;
  if (m_damage == 0 && (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)) m_damage = result;
  return result;
}

bool CSqliteConnection::Open(const std::string& path) {
  Close();
  m_damage = 0;
  m_path = path;
  const int result = sqlite3_open(path.c_str(), &m_handle);
  if (result != SQLITE_OK) {
    NetworkLogger().Log(LOG_LEVEL_ERROR, "%s(%d) open db error code %d, db path %s", "CSqliteConnection::Open", 29,
                        result, path.c_str());
    return false;
  }
  sqlite3_busy_timeout(m_handle, kBusyTimeoutMs);
  // SQLite's default page cache may grow to 2 MB per connection. The stores here are small (a
  // thousand favourites' rows and the media table fit in a few hundred KiB) and a connection
  // lives for one operation, so a cache of 256 KiB holds what an operation touches twice, and
  // the whole-file check at a run's first operation does not leave 2 MB of heap behind it.
  sqlite3_exec(m_handle, "pragma cache_size = -256", nullptr, nullptr, nullptr);
  return true;
}

int CSqliteConnection::Exec(const std::string& sql, std::string& errorText) {
  if (!m_handle) return SQLITE_MISUSE;
  char* message = nullptr;
  const int result = Note(sqlite3_exec(m_handle, sql.c_str(), nullptr, nullptr, &message));
  if (message) {
    errorText = message;
    sqlite3_free(message);
  }
  return result;
}

bool CSqliteConnection::Execute(const std::string& sql) {
  std::string ignored;
  return Exec(sql, ignored) == SQLITE_OK;
}

int CSqliteConnection::Begin() {
  std::string ignored;
  return Exec("begin", ignored);
}

int CSqliteConnection::Commit() {
  std::string ignored;
  return Exec("commit", ignored);
}

int CSqliteConnection::Rollback() {
  std::string ignored;
  return Exec("rollback", ignored);
}

int CSqliteConnection::ExecuteScalar(const std::string& sql) {
  CSqliteStatement statement(*this, sql);
  return statement.Step() == SQLITE_ROW ? statement.ColumnInt(0) : 0;
}

// The name is bound, not pasted into the text, so any name is safe to ask about.
bool CSqliteConnection::TableExists(const std::string& name) {
  CSqliteStatement statement(*this, "select count(*) from sqlite_master where type = 'table' and name = ?");
  statement.BindText(1, name);
  return statement.Step() == SQLITE_ROW && statement.ColumnInt(0) == 1;
}

int64_t CSqliteConnection::LastInsertRowId() const { return m_handle ? sqlite3_last_insert_rowid(m_handle) : 0; }
