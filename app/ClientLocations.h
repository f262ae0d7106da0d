// Registry and file locations of the streaming client that the program reads.
#pragma once

inline constexpr wchar_t kClientKey[] = L"Software\\Vexo\\Dorsa";
inline constexpr wchar_t kDataFolderValue[] = L"HKernelPath";
inline constexpr wchar_t kInstallFolderValue[] = L"HDir";
inline constexpr wchar_t kClientComServerKey[] = L"CLSID\\{7B3E9C20-4A61-4F8D-9E27-C5D1A08B36F4}\\InprocServer32";
inline constexpr wchar_t kClientUserKeyFormat[] = L"Software\\AppDataLow\\Software\\Vexo\\Dorsa\\";
inline constexpr wchar_t kClientProductKey[] = L"101";
inline constexpr wchar_t kMachineIdKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Rera\\Address";
inline constexpr wchar_t kMachineIdValue[] = L"MacAddr";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kAutostartValue[] = L"VXTailcast";
inline constexpr wchar_t kClientExecutable[] = L"VexoClient.exe";
inline constexpr wchar_t kIdentityFileName[] = L"VexoClient\\InstallConfig.ini";
