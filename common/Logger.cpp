#include "common/Logger.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace {

std::string LocalTimeStamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const int millis = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, millis);
  return text;
}

bool IsValidLevel(unsigned level) { return level >= LOG_LEVEL_ERROR && level <= LOG_LEVEL_DEBUG; }

}  // namespace

const char* LogLevelName(unsigned level) {
  switch (level) {
    case LOG_LEVEL_ERROR: return "ERROR";
    case LOG_LEVEL_WARN: return "WARN";
    case LOG_LEVEL_EVENT: return "EVENT";
    case LOG_LEVEL_INFO: return "INFO";
    case LOG_LEVEL_DEBUG: return "DEBUG";
    default: return "INVALID";
  }
}

CLogger::CLogger(std::string moduleName, unsigned level)
    : m_moduleName(std::move(moduleName)), m_level(level) {}

unsigned CLogger::Level() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_level;
}

void CLogger::AddSink(const std::string& name, ILogSink* sink) {
  if (!sink) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  m_sinks[name] = sink;
}

void CLogger::RemoveSink(const std::string& name) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_sinks.erase(name);
}

void CLogger::SetLevel(unsigned level) {
  if (!IsValidLevel(level)) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  m_level = level;
  for (auto& entry : m_sinks) entry.second->threshold = level;
}

void CLogger::Log(unsigned level, const char* format, ...) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_sinks.empty() || !format) return;

  char message[kMessageBufferChars];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);  // cuts at 2047 characters
  va_end(args);

  char line[kLineBufferChars];
  const int written = std::snprintf(line, sizeof line, "[%s] <%s> [%s] %s", LocalTimeStamp().c_str(),
                                    LogLevelName(level), m_moduleName.c_str(), message);
  if (written < 0 || static_cast<size_t>(written) >= sizeof line) return;  // does not fit: dropped

  const std::string finished(line, static_cast<size_t>(written));
  for (auto& entry : m_sinks) {
    if (entry.second->threshold >= level) entry.second->Write(finished);
  }
}

CLogManager& CLogManager::GetInstance() {
  static CLogManager manager;  // thread-safe first use
  return manager;
}

CLogger& CLogManager::GetLogger(const std::string& moduleName) {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto found = m_loggers.find(moduleName);
  if (found != m_loggers.end()) return *found->second;
  auto logger = std::make_unique<CLogger>(moduleName, m_defaultLevel);
  CLogger& result = *logger;
  m_loggers.emplace(moduleName, std::move(logger));
  return result;
}

void CLogManager::SetDefaultLevel(unsigned level) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_defaultLevel = level;
}
