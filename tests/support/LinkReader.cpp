#include "tests/support/LinkReader.h"

#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/ComScope.h"
#include "common/ScopedWin.h"

namespace vxtest {

using Microsoft::WRL::ComPtr;

bool ReadLink(const std::wstring& file, LinkInfo& info) {
  ComScope com;
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> persist;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)))) return false;
  if (FAILED(link.As(&persist)) || FAILED(persist->Load(file.c_str(), STGM_READ))) return false;
  wchar_t text[2048] = {};
  link->GetPath(text, 2048, nullptr, SLGP_RAWPATH);
  info.path = text;
  link->GetArguments(text, 2048);
  info.arguments = text;
  link->GetIconLocation(text, 2048, &info.iconIndex);
  info.icon = text;
  link->GetDescription(text, 2048);
  info.description = text;
  link->GetWorkingDirectory(text, 2048);
  info.workingDir = text;
  info.targetItemName = LastTargetItemName(file);
  return true;
}

namespace {

constexpr size_t kHeaderSize = 0x4C;
constexpr uint32_t kHasTargetIdList = 0x01;
constexpr size_t kFileEntryNameOffset = 14;  // size(2) type(1) pad(1) size(4) time(4) attributes(2)

uint32_t Read32(const std::vector<unsigned char>& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
size_t Read16(const std::vector<unsigned char>& bytes, size_t at) { return bytes[at] | (bytes[at + 1] << 8); }

std::vector<unsigned char> FileBytes(const std::wstring& file) {
  std::vector<unsigned char> bytes;
  const ScopedKernelHandle handle(
      ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!handle) return bytes;
  bytes.resize(::GetFileSize(handle.Get(), nullptr));
  DWORD read = 0;
  if (!::ReadFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
  bytes.resize(read);
  return bytes;
}

}  // namespace

std::string LastTargetItemName(const std::wstring& file) {
  const std::vector<unsigned char> bytes = FileBytes(file);
  if (bytes.size() < kHeaderSize + 2 || !(Read32(bytes, 0x14) & kHasTargetIdList)) return {};
  const size_t listEnd = std::min(bytes.size(), kHeaderSize + 2 + Read16(bytes, kHeaderSize));
  std::string name;
  for (size_t item = kHeaderSize + 2; item + 2 <= listEnd;) {
    const size_t size = Read16(bytes, item);
    if (size == 0 || item + size > listEnd) break;
    if (size > kFileEntryNameOffset && (bytes[item + 2] & 0x70) == 0x30) {  // a file entry
      const char* begin = reinterpret_cast<const char*>(&bytes[item + kFileEntryNameOffset]);
      name.assign(begin, strnlen(begin, size - kFileEntryNameOffset));
    }
    item += size;
  }
  return name;
}

}  // namespace vxtest
