// Levelled logger: named loggers, each with sinks that have a level threshold.
// Windows-free; also built and tested natively.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

enum LogLevel : unsigned {
  LOG_LEVEL_ERROR = 1,
  LOG_LEVEL_WARN = 2,
  LOG_LEVEL_EVENT = 3,
  LOG_LEVEL_INFO = 4,
  LOG_LEVEL_DEBUG = 5,
};

// Name of a level as it appears in a log line ("INVALID" outside 1..5).
const char* LogLevelName(unsigned level);

// Receives finished lines. Sinks are not owned by the loggers they are added to.
class ILogSink {
public:
  virtual ~ILogSink() = default;
  virtual void Write(const std::string& line) = 0;

  unsigned threshold = 0;  // receives messages whose level is <= threshold
};

class CLogger {
public:
  static constexpr size_t kMessageBufferChars = 2048;
  static constexpr size_t kLineBufferChars = 3072;

  explicit CLogger(std::string moduleName, unsigned level = 0);

  const std::string& ModuleName() const { return m_moduleName; }
  unsigned Level() const;

  void AddSink(const std::string& name, ILogSink* sink);
  void RemoveSink(const std::string& name);

  // Levels outside 1..5 are ignored; otherwise the logger and all its sinks take it.
  void SetLevel(unsigned level);

  // printf-style. Returns before formatting anything when no sink is attached.
  void Log(unsigned level, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;

private:
  std::string m_moduleName;
  unsigned m_level;
  std::map<std::string, ILogSink*> m_sinks;
  mutable std::mutex m_mutex;
};

// One per process, created on first use. Safe to reach from several threads at once.
class CLogManager {
public:
  static CLogManager& GetInstance();

  CLogger& GetLogger(const std::string& moduleName);
  void SetDefaultLevel(unsigned level);

private:
  CLogManager() = default;

  std::map<std::string, std::unique_ptr<CLogger>> m_loggers;
  unsigned m_defaultLevel = 0;
  std::mutex m_mutex;
};

// The logger every call site of the program writes to.
inline CLogger& NetworkLogger() { return CLogManager::GetInstance().GetLogger("network"); }
