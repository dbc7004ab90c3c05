#include "Minireg.h"

#include "RegistryPath.h"
#include "RegistryRoots.h"
#include "RegistryStore.h"

#include <optional>
#include <utility>
#include <vector>

namespace {

// Where a value path leads: the store, the key's names and the value's name.
struct ValueTarget {
    RegistryStoreLocation store;
    std::vector<std::string> keyNames;
    std::string valueName;
};

// Where a key path leads.
struct KeyTarget {
    RegistryStoreLocation store;
    std::vector<std::string> keyNames;
};

std::optional<KeyTarget> ResolveKeyPath(HKEY root, const std::string& keyPath) {
    auto names = SplitKeyPath(keyPath);
    if (!names)
        return std::nullopt;
    auto store = LocateRegistryStore(root);
    if (!store)
        return std::nullopt;
    return KeyTarget{std::move(*store), std::move(*names)};
}

// A path without a backslash names no value: such calls fail before any
// store is opened.
std::optional<ValueTarget> ResolveValuePath(HKEY root, const std::string& path) {
    const auto split = SplitValuePath(path);
    if (!split)
        return std::nullopt;
    auto key = ResolveKeyPath(root, split->keyPath);
    if (!key)
        return std::nullopt;
    return ValueTarget{std::move(key->store), std::move(key->keyNames), split->valueName};
}

bool WriteValue(HKEY root, const std::string& path, const StoredValue& value) {
    const auto target = ResolveValuePath(root, path);
    if (!target)
        return false;
    return RegistryStore::write(target->store, [&](RegistryStore& store) {
        store.setValue(store.createKey(target->keyNames), target->valueName, value);
        return true;
    });
}

std::optional<StoredValue> ReadValue(HKEY root, const std::string& path) {
    const auto target = ResolveValuePath(root, path);
    if (!target)
        return std::nullopt;
    std::optional<StoredValue> found;
    const bool read = RegistryStore::read(target->store, [&](RegistryStore& store) {
        if (const auto key = store.findKey(target->keyNames))
            found = store.value(*key, target->valueName);
        return found.has_value();
    });
    return read ? found : std::nullopt;
}

bool IsStringType(std::uint32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// What the string types store: the text and its terminator, one zero byte
// for a single text and two for a list of texts.
std::string StoredString(const std::string& text, std::uint32_t type) {
    return text + std::string(type == REG_MULTI_SZ ? 2 : 1, '\0');
}

// What the string types read back: the stored bytes without their last one.
std::string ReadString(const std::string& bytes) {
    return bytes.empty() ? bytes : bytes.substr(0, bytes.size() - 1);
}

bool GetStringOfType(HKEY root, const std::string& path, std::uint32_t type, std::string& value) {
    value.clear();
    const auto stored = ReadValue(root, path);
    if (!stored || stored->type != type)
        return false;
    value = ReadString(stored->bytes);
    return true;
}

bool EnumerateNames(HKEY root, const std::string& keyPath, std::string& names, bool subkeys) {
    names.clear();
    const auto target = ResolveKeyPath(root, keyPath);
    if (!target)
        return false;
    std::vector<std::string> found;
    const bool opened = RegistryStore::read(target->store, [&](RegistryStore& store) {
        const auto key = store.findKey(target->keyNames);
        if (!key)
            return false;
        found = subkeys ? store.subkeyNames(*key) : store.valueNames(*key);
        return true;
    });
    if (!opened)
        return false;
    for (std::size_t index = 0; index < found.size(); ++index) {
        if (index > 0)
            names += "\r\n";
        names += found[index];
    }
    return true;
}

// Deletes a key that has no subkeys, as the registry does for a plain
// deletion; the root itself is never deleted.
bool DeleteLeafKey(RegistryStore& store, std::optional<RegistryKeyId> key) {
    return key && !store.hasSubkeys(*key) && store.deleteKey(*key);
}

} // namespace

bool RegSetString(HKEY root, const std::string& path, const std::string& value) {
    return RegSetAnyString(root, path, value, REG_SZ);
}

bool RegSetExpandString(HKEY root, const std::string& path, const std::string& value) {
    return RegSetAnyString(root, path, value, REG_EXPAND_SZ);
}

bool RegSetMultiString(HKEY root, const std::string& path, const std::string& value) {
    return RegSetAnyString(root, path, value, REG_MULTI_SZ);
}

bool RegSetAnyString(HKEY root, const std::string& path, const std::string& value, std::uint32_t type) {
    if (!IsStringType(type))
        return false;
    return WriteValue(root, path, StoredValue{type, StoredString(value, type)});
}

bool RegSetDWORD(HKEY root, const std::string& path, std::uint32_t value) {
    std::string bytes(4, '\0');
    for (std::size_t index = 0; index < bytes.size(); ++index)
        bytes[index] = static_cast<char>((value >> (8 * index)) & 0xFFu);
    return WriteValue(root, path, StoredValue{REG_DWORD, bytes});
}

bool RegSetBinary(HKEY root, const std::string& path, const std::string& bytes) {
    return WriteValue(root, path, StoredValue{REG_BINARY, bytes});
}

bool RegGetString(HKEY root, const std::string& path, std::string& value) {
    return GetStringOfType(root, path, REG_SZ, value);
}

bool RegGetExpandString(HKEY root, const std::string& path, std::string& value) {
    return GetStringOfType(root, path, REG_EXPAND_SZ, value);
}

bool RegGetMultiString(HKEY root, const std::string& path, std::string& value) {
    return GetStringOfType(root, path, REG_MULTI_SZ, value);
}

bool RegGetAnyString(HKEY root, const std::string& path, std::string& value, std::uint32_t& type) {
    value.clear();
    type = REG_NONE;
    const auto stored = ReadValue(root, path);
    if (!stored)
        return false;
    type = stored->type;
    if (!IsStringType(stored->type))
        return false;
    value = ReadString(stored->bytes);
    return true;
}

bool RegGetDWORD(HKEY root, const std::string& path, std::uint32_t& value) {
    value = 0;
    const auto stored = ReadValue(root, path);
    // A shorter value would leave bytes of the result undefined.
    if (!stored || stored->type != REG_DWORD || stored->bytes.size() < 4)
        return false;
    for (std::size_t index = 0; index < 4; ++index)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(stored->bytes[index])) << (8 * index);
    return true;
}

bool RegGetBinary(HKEY root, const std::string& path, std::string& bytes) {
    bytes.clear();
    const auto stored = ReadValue(root, path);
    if (!stored || stored->type != REG_BINARY)
        return false;
    bytes = stored->bytes;
    return true;
}

bool RegValueExists(HKEY root, const std::string& path) {
    return ReadValue(root, path).has_value();
}

bool RegGetValueType(HKEY root, const std::string& path, std::uint32_t& type) {
    type = REG_NONE;
    const auto stored = ReadValue(root, path);
    if (!stored)
        return false;
    type = stored->type;
    return true;
}

bool RegKeyExists(HKEY root, const std::string& keyPath) {
    const auto target = ResolveKeyPath(root, keyPath);
    if (!target)
        return false;
    return RegistryStore::read(
        target->store, [&](RegistryStore& store) { return store.findKey(target->keyNames).has_value(); });
}

bool RegDelValue(HKEY root, const std::string& path) {
    const auto target = ResolveValuePath(root, path);
    if (!target)
        return false;
    return RegistryStore::modify(target->store, [&](RegistryStore& store) {
        const auto key = store.findKey(target->keyNames);
        return key && store.deleteValue(*key, target->valueName);
    });
}

bool RegDelKey(HKEY root, const std::string& path) {
    // The part after the last backslash is one key name relative to the part
    // before it; an empty name stands for that key itself.
    const auto target = ResolveValuePath(root, path);
    if (!target)
        return false;
    return RegistryStore::modify(target->store, [&](RegistryStore& store) {
        auto key = store.findKey(target->keyNames);
        if (key && !target->valueName.empty())
            key = store.findSubkey(*key, target->valueName);
        return DeleteLeafKey(store, key);
    });
}

bool RegDelKeyEx(HKEY root, const std::string& keyPath, bool recursive) {
    // A key directly under the root is never deleted this way.
    if (keyPath.find('\\') == std::string::npos)
        return false;
    const auto target = ResolveKeyPath(root, keyPath);
    if (!target)
        return false;
    // The whole subtree goes in one transaction: a failure half way leaves
    // the key as it was rather than partly emptied.
    return RegistryStore::modify(target->store, [&](RegistryStore& store) {
        const auto key = store.findKey(target->keyNames);
        if (recursive)
            return key && store.deleteKey(*key);
        return DeleteLeafKey(store, key);
    });
}

bool RegEnumValues(HKEY root, const std::string& keyPath, std::string& names) {
    return EnumerateNames(root, keyPath, names, false);
}

bool RegEnumKeys(HKEY root, const std::string& keyPath, std::string& names) {
    return EnumerateNames(root, keyPath, names, true);
}

bool RegConnect(const std::string& machineName, HKEY root, HKEY& remoteRoot) {
    remoteRoot = 0;
    if (!IsLocalMachineName(machineName))
        return false;
    const auto handle = OpenRegistryConnection(root);
    if (!handle)
        return false;
    remoteRoot = *handle;
    return true;
}

bool RegDisconnect(HKEY remoteRoot) {
    return CloseRegistryConnection(remoteRoot);
}
