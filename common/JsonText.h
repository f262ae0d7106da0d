// Reading a JSON text that anyone may have written: false for anything that is not one
// whole JSON value, including nesting too deep to read (never an exception).
#pragma once

#include <json/json.h>

#include <string>

bool ParseJsonText(const std::string& utf8, Json::Value& root);
