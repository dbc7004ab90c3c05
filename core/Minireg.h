// Registry access: a thin, stateless layer over the per-user and machine-wide
// key/value stores. Every routine opens what it needs, does one thing, closes
// it again and reports success as a boolean; nothing is cached between calls.
//
// Texts are byte strings (UTF-8 on Linux) and may hold zero bytes. A value
// path names a key and a value at once and is split at its LAST backslash.
// Key and value names compare without regard to letter case and keep the
// spelling they were created with; listings follow the order of creation.
//
// HKEY_CURRENT_USER lives in $XDG_CONFIG_HOME/varindel/registry.sqlite (or the
// file named by kUserRegistryEnv), HKEY_LOCAL_MACHINE in
// /etc/varindel/registry.sqlite (or the file named by kMachineRegistryEnv).
// A write is on disk when it returns; several programs may write at once.
#pragma once

#include <cstdint>
#include <string>

using HKEY = std::uint32_t;

inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// Environment variables that move the stores (tests point them into a
// temporary folder so that they never touch the real files).
inline constexpr const char* kUserRegistryEnv = "VARINDEL_REGISTRY_USER";
inline constexpr const char* kMachineRegistryEnv = "VARINDEL_REGISTRY_MACHINE";

bool RegSetString(HKEY root, const std::string& path, const std::string& value);
bool RegSetExpandString(HKEY root, const std::string& path, const std::string& value);
bool RegSetMultiString(HKEY root, const std::string& path, const std::string& value);
bool RegSetAnyString(HKEY root, const std::string& path, const std::string& value, std::uint32_t type);
bool RegSetDWORD(HKEY root, const std::string& path, std::uint32_t value);
bool RegSetBinary(HKEY root, const std::string& path, const std::string& bytes);

bool RegGetString(HKEY root, const std::string& path, std::string& value);
bool RegGetExpandString(HKEY root, const std::string& path, std::string& value);
bool RegGetMultiString(HKEY root, const std::string& path, std::string& value);
bool RegGetAnyString(HKEY root, const std::string& path, std::string& value, std::uint32_t& type);
bool RegGetDWORD(HKEY root, const std::string& path, std::uint32_t& value);
bool RegGetBinary(HKEY root, const std::string& path, std::string& bytes);

bool RegValueExists(HKEY root, const std::string& path);
bool RegGetValueType(HKEY root, const std::string& path, std::uint32_t& type);
bool RegKeyExists(HKEY root, const std::string& keyPath);
bool RegDelValue(HKEY root, const std::string& path);
bool RegDelKey(HKEY root, const std::string& path);
bool RegDelKeyEx(HKEY root, const std::string& keyPath, bool recursive);
bool RegEnumValues(HKEY root, const std::string& keyPath, std::string& names);
bool RegEnumKeys(HKEY root, const std::string& keyPath, std::string& names);

// Only this machine's registry can be reached: an empty name or this host's
// name gives a handle for root (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE) that
// other routines accept until RegDisconnect; any other machine fails.
bool RegConnect(const std::string& machineName, HKEY root, HKEY& remoteRoot);
bool RegDisconnect(HKEY remoteRoot);
