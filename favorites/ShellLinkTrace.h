// The trace texts written around each use of a shell link object by the shortcut writers.
#pragma once

inline constexpr wchar_t kLinkCreated[] = L"创建CLSID_ShellLink成功！";
inline constexpr wchar_t kLinkReleased[] = L"释放CLSID_ShellLink成功！";
