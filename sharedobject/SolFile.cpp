#include "sharedobject/SolFile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "sharedobject/AMF0Serializer.h"
#include "sharedobject/AMF3Serializer.h"
#include "sharedobject/BigEndianRead.h"
#include "sharedobject/FolderSystem.h"
#include "sharedobject/IOBuffer.h"
#include "sharedobject/MapBuilder.h"
#include "sharedobject/PayloadArena.h"

namespace {

constexpr uint8_t kMagic[2] = {0x00, 0xBF};
constexpr uint8_t kSignature[4] = {0x54, 0x43, 0x53, 0x4F};  // "TCSO"
// Magic, length and signature, then the padding the players write.
constexpr size_t kLengthEnd = 6;
constexpr size_t kBodyOffset = 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// The entries, back to back, each followed by a pad byte. The final pad byte was never
// loaded, so the last value ends exactly at the end of the data and drains the buffer.
template <typename KeyReader, typename ValueReader>
bool DecodeEntries(IOBuffer& buffer, Variant& root, KeyReader readKey, ValueReader readValue) {
  if (buffer.Available() == 0) {
    return true;
  }
  // The root stays Null until an entry is decoded.
  std::optional<MapBuilder> entries;
  for (;;) {
    std::string key;
    Variant value;
    if (!readKey(key) || !readValue(value)) {
      return false;
    }
    if (!entries) {
      entries.emplace(root);
    }
    entries->Add(key) = std::move(value);
    if (buffer.Published() == 0) {
      return true;
    }
    // A pad byte that is the last loaded byte leaves nothing for the next key: the file has
    // bytes after its last value.
    if (buffer.Available() < 2) {
      return false;
    }
    buffer.Skip(1);
  }
}

}  // namespace

bool DecodeSolImage(const uint8_t* data, size_t size, SolFile& file, const AMFLimits& limits) {
  if (size < kSmallestSolFile) {
    return false;
  }
  std::memcpy(file.header.data(), data, sizeof kMagic);
  if (std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    return false;
  }
  const uint64_t length = BigEndian32At(data + 2);
  if (length + kLengthEnd != size) {
    return false;
  }
  std::memcpy(file.header.data() + sizeof kMagic, data + kLengthEnd, sizeof kSignature);
  if (std::memcmp(data + kLengthEnd, kSignature, sizeof kSignature) != 0) {
    return false;
  }

  const uint8_t* body = data + kBodyOffset;
  const size_t bodySize = size - kBodyOffset;
  const size_t nameLength = size_t{body[0]} << 8 | body[1];
  if (nameLength + 6 >= bodySize) {
    return false;
  }
  // The file's values are made in one arena: allocated in the order they are decoded, freed
  // a chunk at a time.
  const PayloadArena arena;
  AMFBudget budget(limits);
  IOBuffer buffer;
  if (!buffer.Append(body, nameLength + 2)) {
    return false;
  }
  Variant name;
  if (!AMF0Serializer(budget).ReadShortString(buffer, name, false)) {
    return false;
  }
  file.name = name.ToString();
  file.version = body[nameLength + 5] == 0 ? 0 : 3;

  // The entry area without the file's last byte.
  const size_t entryOffset = nameLength + 6;
  if (!buffer.Append(body + entryOffset, bodySize - entryOffset - 1)) {
    return false;
  }
  if (file.version == 0) {
    const AMF0Serializer amf0(budget);
    return DecodeEntries(
        buffer, file.root,
        [&](std::string& key) {
          Variant text;
          const bool read = amf0.ReadShortString(buffer, text, false);
          key = text.StoredBytes();
          return read;
        },
        [&](Variant& value) { return amf0.ReadValue(buffer, value); });
  }
  // One AMF3 decoder for all entries: string, object and traits references reach across them.
  AMF3Serializer amf3(budget, 0);
  return DecodeEntries(
      buffer, file.root, [&](std::string& key) { return amf3.ReadKey(buffer, key); },
      [&](Variant& value) { return amf3.ReadValue(buffer, value); });
}

bool ReadSolFile(const std::string& path, SolFile& file) {
  uint64_t size = 0;
  if (!folder_system::FileSize(path, size) || size < kSmallestSolFile || size > kLargestSolFile) {
    return false;
  }
  // Binary mode, and (the runtime's default) shared for reading and writing by others.
  ScopedFile stream(std::fopen(path.c_str(), "rb"));
  if (!stream) {
    return false;
  }
  std::unique_ptr<uint8_t[]> content(new (std::nothrow) uint8_t[size]);
  if (!content) {
    return false;
  }
  // A file that changed size since it was measured no longer matches its length field.
  const size_t read = std::fread(content.get(), 1, static_cast<size_t>(size), stream.get());
  if (read != size || std::fgetc(stream.get()) != EOF) {
    return false;
  }
  return DecodeSolImage(content.get(), static_cast<size_t>(size), file);
}
