// One open SQLite database file. SQL text and text values are byte strings, passed
// through unchanged. Windows-free.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

class CSqliteConnection {
public:
  // How long a statement waits for another connection (or process) to release the file.
  static constexpr int kBusyTimeoutMs = 5000;

  CSqliteConnection() = default;
  // Opens at once; the result is not reported (IsOpen tells).
  explicit CSqliteConnection(const std::string& path);
  ~CSqliteConnection();

  CSqliteConnection(const CSqliteConnection&) = delete;
  CSqliteConnection& operator=(const CSqliteConnection&) = delete;

  // Read-write, created when missing. The path is handed to SQLite as UTF-8.
  bool Open(const std::string& path);
  bool IsOpen() const { return m_handle != nullptr; }
  // Lets go of the file (a store set aside must not be held open).
  void Close();

  int Exec(const std::string& sql, std::string& errorText);
  bool Execute(const std::string& sql);
  int Begin();
  int Commit();
  int Rollback();
  // Column 0 of the first row as an integer, 0 when there is no row.
  int ExecuteScalar(const std::string& sql);
  bool TableExists(const std::string& name);
  int64_t LastInsertRowId() const;

  sqlite3* Handle() const { return m_handle; }
  // The first answer of this connection (or one of its statements) that said the file itself is
  // damaged (SQLITE_CORRUPT, SQLITE_NOTADB); 0 when none did.
  int DamageSeen() const { return m_damage; }
  // Every call through this connection reports its result here.
  int Note(int result);
  const std::string& Path() const { return m_path; }

private:
  std::string m_path;
  sqlite3* m_handle = nullptr;
  int m_damage = 0;
};
