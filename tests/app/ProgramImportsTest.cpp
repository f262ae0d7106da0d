// The libraries the built program binds at process start, read from its own import tables:
// only what the control window needs before its message loop runs; the shell, COM, GDI+, the
// network stack, the common controls and the session notices are bound on first use.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/ModulePath.h"

namespace {

// The image's bytes, mapped as the loader would map them (sections at their virtual addresses).
class MappedImage {
public:
  explicit MappedImage(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < sizeof(IMAGE_DOS_HEADER)) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || file.size() < dos->e_lfanew + sizeof(IMAGE_NT_HEADERS)) return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(file.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    m_image.assign(nt->OptionalHeader.SizeOfImage, 0);
    std::copy_n(file.begin(), std::min<size_t>(nt->OptionalHeader.SizeOfHeaders, file.size()), m_image.begin());
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
      const size_t size = std::min<size_t>(section->SizeOfRawData, section->Misc.VirtualSize);
      if (section->PointerToRawData + size > file.size() || section->VirtualAddress + size > m_image.size()) return;
      std::copy_n(file.begin() + section->PointerToRawData, size, m_image.begin() + section->VirtualAddress);
    }
    m_directories = reinterpret_cast<const IMAGE_NT_HEADERS*>(m_image.data() + dos->e_lfanew)->OptionalHeader.DataDirectory;
  }

  // Lower-case names of the libraries the import directory lists.
  std::set<std::string> ImportedLibraries() const {
    std::set<std::string> names;
    if (!m_directories) return names;
    const size_t step = sizeof(IMAGE_IMPORT_DESCRIPTOR);
    for (size_t at = m_directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress; at && at + step <= m_image.size();
         at += step) {
      DWORD name = 0;
      std::copy_n(m_image.begin() + at + offsetof(IMAGE_IMPORT_DESCRIPTOR, Name), sizeof name,
                  reinterpret_cast<char*>(&name));
      if (name == 0 || name >= m_image.size()) break;
      std::string text(&m_image[name], ::strnlen(&m_image[name], m_image.size() - name));
      std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
      names.insert(text);
    }
    return names;
  }

  bool Contains(const std::string& text) const {
    return std::search(m_image.begin(), m_image.end(), text.begin(), text.end()) != m_image.end();
  }

private:
  std::vector<char> m_image;
  const IMAGE_DATA_DIRECTORY* m_directories = nullptr;  // in m_image's copy of the headers
};

TEST(ProgramImportsTest, OnlyTheWindowsLibrariesAreBoundAtStartTheRestOnFirstUse) {
  const MappedImage image(ModuleFolderWithSeparator() + L"VXTailcast.exe");
  const std::set<std::string> atStart = image.ImportedLibraries();
  const std::set<std::string> windowNeeds = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                             "msvcrt.dll"};
  ASSERT_FALSE(atStart.empty());
  for (const std::string& library : atStart) EXPECT_EQ(windowNeeds.count(library), 1u) << library;
  // The linker leaves the delay-load directory entry empty; the loading stubs name their library.
  for (const char* library :
       {"shell32.dll", "ole32.dll", "gdiplus.dll", "wininet.dll", "comctl32.dll", "wtsapi32.dll"}) {
    EXPECT_TRUE(image.Contains(library)) << library;
  }
}

}  // namespace
