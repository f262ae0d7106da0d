// One prepared statement of a connection, finalised when it goes. Windows-free.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3_stmt;
class CSqliteConnection;

class CSqliteStatement {
public:
  CSqliteStatement(CSqliteConnection& connection, const std::string& sql);
  ~CSqliteStatement();

  CSqliteStatement(const CSqliteStatement&) = delete;
  CSqliteStatement& operator=(const CSqliteStatement&) = delete;

  bool IsPrepared() const { return m_stmt != nullptr; }
  int LastResult() const { return m_lastResult; }

  int Step();
  // Indexes are 1-based. Text is bound with its full byte length, zero bytes included.
  void BindInt(int index, int32_t value);
  void BindText(int index, const std::string& bytes);

  // Column indexes are 0-based.
  int32_t ColumnInt(int index) const;
  // Leaves `text` unchanged when the column is NULL.
  void ColumnText(int index, std::string& text) const;
  std::string ColumnName(int index) const;
  // First column with exactly this name, or -1.
  int ColumnIndex(const std::string& name) const;
  int64_t LastInsertRowId() const;

private:
  CSqliteConnection& m_connection;
  std::string m_sql;
  sqlite3_stmt* m_stmt = nullptr;
  int m_lastResult = 0;
};
