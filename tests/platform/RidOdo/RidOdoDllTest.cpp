// The installation identifier and random ids of the network library's root object.
#include "platform/RidOdo/RidOdoDll.h"

#include <gtest/gtest.h>

#include <set>

#include "common/Registry.h"

namespace {

bool IsLowerHex32(const std::string& text) {
  return text.size() == 32 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

void ForgetInstallId() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRidOdoKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    ::RegDeleteValueW(key, kInstallIdValue);
    ::RegCloseKey(key);
  }
}

TEST(RidOdoDllTest, InstallIdIsMadeOnceAndKept) {
  ForgetInstallId();
  CRidOdoDll first;
  const std::string id = first.GetUuid();
  EXPECT_TRUE(IsLowerHex32(id)) << id;
  EXPECT_EQ(first.GetUuid(), id);
  CRidOdoDll later;  // as in a later run of the program
  EXPECT_EQ(later.GetUuid(), id);
  const auto stored = ReadRegistryText(HKEY_CURRENT_USER, kRidOdoKey, kInstallIdValue);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(std::string(stored->begin(), stored->end()), id);
}

TEST(RidOdoDllTest, DamagedInstallIdIsReplaced) {
  for (const wchar_t* damaged : {L"", L"short", L"0123456789ABCDEF0123456789ABCDEF",
                                 L"0123456789abcdef0123456789abcdeg", L"0123456789abcdef0123456789abcdef0"}) {
    ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kRidOdoKey, kInstallIdValue, damaged));
    CRidOdoDll root;
    const std::string id = root.GetUuid();
    EXPECT_TRUE(IsLowerHex32(id)) << id;
    EXPECT_EQ(CRidOdoDll().GetUuid(), id);
  }
}

TEST(RidOdoDllTest, ForgottenInstallIdGivesANewOne) {
  const std::string before = CRidOdoDll().GetUuid();
  ForgetInstallId();
  const std::string after = CRidOdoDll().GetUuid();
  EXPECT_TRUE(IsLowerHex32(after));
  EXPECT_NE(after, before);
}

TEST(RidOdoDllTest, ProcessRootIsOneObject) {
  EXPECT_EQ(fnRidOdoDll(), fnRidOdoDll());
  EXPECT_EQ(fnRidOdoDll()->GetPlayRecordTask(), fnRidOdoDll()->GetPlayRecordTask());
}

TEST(RidOdoDllTest, RandomIdsSpreadOverTheWholeRange) {
  std::set<uint32_t> seen;
  uint32_t orBits = 0;
  for (int i = 0; i < 2000; ++i) {
    const uint32_t id = CRidOdoDll().GenRandomId();
    seen.insert(id);
    orBits |= id;
  }
  EXPECT_GT(seen.size(), 1990u);
  EXPECT_EQ(orBits, 0xFFFFFFFFu);
}

}  // namespace
