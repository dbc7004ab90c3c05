// How one registry path text names a key and a value, and how names compare.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A value path split at its last backslash.
struct RegistryValuePath {
    std::string keyPath;   // relative to the root; empty for the root itself
    std::string valueName; // empty for the key's default value
};

// Splits at the last backslash; nothing when the path holds no backslash,
// because such a path names no value at all.
std::optional<RegistryValuePath> SplitValuePath(const std::string& path);

// The key names along a key path, outermost first; an empty path is the root
// itself. A path that starts with a backslash or holds an empty name between
// two backslashes names no key; one closing backslash is tolerated.
std::optional<std::vector<std::string>> SplitKeyPath(const std::string& keyPath);

// The form in which two key or value names are equal exactly when they differ
// only in letter case, across all of Unicode. Bytes that are not UTF-8 are
// folded in their ASCII letters only, so that no two of them collapse into one.
std::string FoldRegistryName(const std::string& name);
