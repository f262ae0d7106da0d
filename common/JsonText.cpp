#include "common/JsonText.h"

#include <memory>

bool ParseJsonText(const std::string& utf8, Json::Value& root) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  builder["failIfExtra"] = true;  // text after the value (other than blanks and comments) is no JSON text
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  try {
    return reader->parse(utf8.data(), utf8.data() + utf8.size(), &root, &errors);
  } catch (const std::exception&) {  // the reader throws when the nesting exceeds its limit
    root = Json::Value();
    return false;
  }
}
