// Bytes of AMF0 and AMF3 values and of whole .sol files, for the tests, the fuzz seeds and the
// benchmarks. Each function gives the encoded bytes of one piece; composite values take the
// bytes of their parts, so that a caller decides exactly where a reference stands.
// Windows-free.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace amf0 {

using Pair = std::pair<std::string, std::string>;  // plain key text, encoded value

std::string Number(double value);
std::string Boolean(uint8_t byte);
// A string value: the short form up to 65535 bytes, the long form above.
std::string String(const std::string& text);
std::string LongString(const std::string& text);
// A key or name: 16-bit length and bytes, no marker.
std::string Key(const std::string& text);
std::string Null();
std::string Undefined();
std::string Object(const std::vector<Pair>& pairs);
// `counted` pairs come after the count, `more` after them, before the end bytes.
std::string EcmaArray(const std::vector<Pair>& counted, const std::vector<Pair>& more = {});
std::string StrictArray(const std::vector<std::string>& values);
std::string Date(double milliseconds, int16_t timeZone = 0);
// One AMF3 value behind the switch marker.
std::string SwitchToAmf3(const std::string& amf3Value);

}  // namespace amf0

namespace amf3 {

using Pair = std::pair<std::string, std::string>;  // encoded key (Text or TextRef), encoded value

std::string U29(uint32_t value);
std::string Undefined();
std::string Null();
std::string False();
std::string True();
std::string Integer(uint32_t value);
std::string Double(double value);
// A string without marker (keys, member and class names): inline, or a string reference.
std::string Text(const std::string& text);
std::string TextRef(uint32_t index);
std::string String(const std::string& text);
std::string StringRef(uint32_t index);
std::string Date(double milliseconds);
std::string DateRef(uint32_t index);
std::string Array(const std::vector<std::string>& dense, const std::vector<Pair>& associative = {});
std::string ArrayRef(uint32_t index);
// An object with inline traits: encoded class name, encoded member names, then the sealed
// values in member order and, when dynamic, the dynamic pairs and the closing empty key.
std::string Object(const std::string& className, const std::vector<std::string>& members,
                   bool dynamic, const std::vector<std::string>& sealed,
                   const std::vector<Pair>& dynamicPairs = {});
// An object whose traits are traits-table entry `traitsIndex`.
std::string ObjectWithTraitsRef(uint32_t traitsIndex, bool dynamic,
                                const std::vector<std::string>& sealed,
                                const std::vector<Pair>& dynamicPairs = {});
std::string ObjectRef(uint32_t index);
// An externalizable object: encoded class name and the value it writes.
std::string Externalizable(const std::string& className, const std::string& value);
std::string ArrayCollection(const std::string& value);
std::string ByteArray(const std::string& bytes);
std::string ByteArrayRef(uint32_t index);

}  // namespace amf3

namespace sol {

using Entry = std::pair<std::string, std::string>;

// A whole file: header, name, version and the entries, each key (AMF0: plain text, written as
// amf0::Key; AMF3: already encoded) followed by its value and a pad byte, except that `tail`
// takes the place of the final pad byte (a reader refuses a tail other than one byte).
std::string File(const std::string& name, int version, const std::vector<Entry>& entries,
                 const std::string& tail = std::string(1, '\0'));

}  // namespace sol
