// The keys and values of one registry root, kept in an SQLite file.
//
// Keys form a tree: each row names its parent, the root key is row 0. Names
// keep the spelling they were created with; a folded copy of each name makes
// lookups case-insensitive and keeps two spellings of one name from coexisting.
// Keys and values are listed in the order they were created.
#pragma once

#include "RegistryRoots.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class RegistryConnection;

using RegistryKeyId = std::int64_t;

// A value as it is stored: its type code and its exact bytes.
struct StoredValue {
    std::uint32_t type = REG_NONE;
    std::string bytes;
};

class RegistryStore {
public:
    static constexpr RegistryKeyId kRootKey = 0;

    using Work = std::function<bool(RegistryStore&)>;

    // Runs work inside one read transaction of the store. False when the
    // store does not exist (it is not created), cannot be read, or work
    // returns false.
    static bool read(const RegistryStoreLocation& location, const Work& work);

    // Runs work inside one write transaction, creating the store when it is
    // missing. The changes are committed, and on disk, only when work returns
    // true; otherwise nothing of them remains.
    static bool write(const RegistryStoreLocation& location, const Work& work);

    // As write, but for changes that only take something away: a missing
    // store has nothing to take, so it is not created and the call fails.
    static bool modify(const RegistryStoreLocation& location, const Work& work);

    std::optional<RegistryKeyId> findKey(const std::vector<std::string>& names);
    std::optional<RegistryKeyId> findSubkey(RegistryKeyId parent, const std::string& name);
    RegistryKeyId createKey(const std::vector<std::string>& names); // opens keys that exist already
    bool hasSubkeys(RegistryKeyId key);
    bool deleteKey(RegistryKeyId key); // with all its subkeys and values; the root is refused

    std::optional<StoredValue> value(RegistryKeyId key, const std::string& name);
    void setValue(RegistryKeyId key, const std::string& name, const StoredValue& value);
    bool deleteValue(RegistryKeyId key, const std::string& name);

    std::vector<std::string> subkeyNames(RegistryKeyId key);
    std::vector<std::string> valueNames(RegistryKeyId key);

private:
    explicit RegistryStore(RegistryConnection& connection) : connection_(connection) {}
    static bool change(const RegistryStoreLocation& location, const Work& work, bool createMissing);
    void createSchema();

    RegistryConnection& connection_;
};
