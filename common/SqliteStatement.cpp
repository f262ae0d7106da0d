#include "common/SqliteStatement.h"

#include <sqlite3.h>

#include "common/SqliteConnection.h"

CSqliteStatement::CSqliteStatement(CSqliteConnection& connection, const std::string& sql)
    : m_connection(connection), m_sql(sql) {
  m_lastResult = connection.Handle()
                     ? connection.Note(sqlite3_prepare_v2(connection.Handle(), m_sql.c_str(), -1, &m_stmt, nullptr))
                     : SQLITE_MISUSE;
}

CSqliteStatement::~CSqliteStatement() {
  if (m_stmt) sqlite3_finalize(m_stmt);
}

int CSqliteStatement::Step() {
  m_lastResult = m_stmt ? m_connection.Note(sqlite3_step(m_stmt)) : SQLITE_MISUSE;
  return m_lastResult;
}

void CSqliteStatement::BindInt(int index, int32_t value) {
  if (m_stmt) m_lastResult = sqlite3_bind_int(m_stmt, index, value);
}

void CSqliteStatement::BindText(int index, const std::string& bytes) {
  if (m_stmt) {
    m_lastResult = sqlite3_bind_text(m_stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
}

int32_t CSqliteStatement::ColumnInt(int index) const { return m_stmt ? sqlite3_column_int(m_stmt, index) : 0; }

void CSqliteStatement::ColumnText(int index, std::string& text) const {
  if (!m_stmt) return;
  const auto* value = sqlite3_column_text(m_stmt, index);
  if (!value) return;
  text.assign(reinterpret_cast<const char*>(value), static_cast<size_t>(sqlite3_column_bytes(m_stmt, index)));
}

std::string CSqliteStatement::ColumnName(int index) const {
  const char* name = m_stmt ? sqlite3_column_name(m_stmt, index) : nullptr;
  return name ? name : std::string();
}

int CSqliteStatement::ColumnIndex(const std::string& name) const {
  const int count = m_stmt ? sqlite3_column_count(m_stmt) : 0;
  for (int i = 0; i < count; ++i) {
    if (ColumnName(i) == name) return i;
  }
  return -1;
}

int64_t CSqliteStatement::LastInsertRowId() const { return m_connection.LastInsertRowId(); }
