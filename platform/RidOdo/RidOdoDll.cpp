#include "platform/RidOdo/RidOdoDll.h"

#include <windows.h>
#include <objbase.h>

#include <random>

#include "common/GuidText.h"
#include "common/Registry.h"
#include "common/TextConvert.h"

namespace {

bool IsInstallId(const std::wstring& text) {
  if (text.size() != 32) return false;
  for (const wchar_t c : text) {
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
  }
  return true;
}

std::wstring NewInstallId() {
  GUID guid = {};
  if (FAILED(::CoCreateGuid(&guid))) {
    std::random_device random;
    for (auto* part : {&guid.Data1}) *part = random();
    guid.Data2 = static_cast<unsigned short>(random());
    guid.Data3 = static_cast<unsigned short>(random());
    for (unsigned char& byte : guid.Data4) byte = static_cast<unsigned char>(random());
  }
  return GuidHexDigits(guid);
}

}  // namespace

std::string CRidOdoDll::GetUuid() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_uuid.empty()) return m_uuid;
  std::wstring id = ReadRegistryText(HKEY_CURRENT_USER, kRidOdoKey, kInstallIdValue).value_or(L"");
  if (!IsInstallId(id)) {
    id = NewInstallId();
    WriteRegistryText(HKEY_CURRENT_USER, kRidOdoKey, kInstallIdValue, id);  // kept in memory if this fails
  }
  m_uuid = WideToUtf8(id);
  return m_uuid;
}

uint32_t CRidOdoDll::GenRandomId() {
  std::random_device random;
  return static_cast<uint32_t>(random());
}

CRidOdoDll* fnRidOdoDll() {
  static CRidOdoDll* const root = new CRidOdoDll;
  return root;
}
