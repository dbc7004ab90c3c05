#include "RegistryStore.h"

#include "RegistryPath.h"
#include "RegistrySqlite.h"

namespace {

constexpr int kSchemaVersion = 1;

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    parent INTEGER,
    name BLOB NOT NULL,
    folded BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS keys_by_name ON keys(parent, folded);
CREATE TABLE IF NOT EXISTS key_values(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name BLOB NOT NULL,
    folded BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS key_values_by_name ON key_values(key, folded);
INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES(0, NULL, x'', x'');
PRAGMA user_version = 1;
)sql";

// Runs action over the key bound to ?1 and every key below it, however deep.
std::string OverSubtree(const char* action) {
    return std::string("WITH RECURSIVE subtree(id) AS (SELECT ?1 UNION ALL "
                       "SELECT keys.id FROM keys JOIN subtree ON keys.parent = subtree.id) ") +
           action;
}

std::vector<std::string> Names(RegistryStatement& statement) {
    std::vector<std::string> names;
    while (statement.step())
        names.push_back(statement.bytes(0));
    return names;
}

} // namespace

bool RegistryStore::read(const RegistryStoreLocation& location, const Work& work) {
    try {
        RegistryConnection connection(location.file, RegistryConnection::Mode::OpenExisting,
                                      location.privateToUser);
        RegistryStore store(connection);
        connection.execute("BEGIN");
        const bool done = work(store);
        connection.execute("COMMIT");
        return done;
    } catch (...) {
        // The connection is closed on the way out, which ends the transaction.
        return false;
    }
}

bool RegistryStore::write(const RegistryStoreLocation& location, const Work& work) {
    return change(location, work, true);
}

bool RegistryStore::modify(const RegistryStoreLocation& location, const Work& work) {
    return change(location, work, false);
}

bool RegistryStore::change(const RegistryStoreLocation& location, const Work& work, bool createMissing) {
    using Mode = RegistryConnection::Mode;
    try {
        RegistryConnection connection(location.file, createMissing ? Mode::CreateMissing : Mode::OpenExisting,
                                      location.privateToUser);
        RegistryStore store(connection);
        // IMMEDIATE takes the write lock up front: two writers then queue on
        // the busy timeout instead of one of them failing half way.
        connection.execute("BEGIN IMMEDIATE");
        if (createMissing)
            store.createSchema();
        if (!work(store)) {
            connection.execute("ROLLBACK");
            return false;
        }
        connection.execute("COMMIT");
        return true;
    } catch (...) {
        return false;
    }
}

void RegistryStore::createSchema() {
    RegistryStatement version(connection_, "PRAGMA user_version");
    if (version.step() && version.integer(0) == kSchemaVersion)
        return;
    connection_.execute(kSchema);
}

std::optional<RegistryKeyId> RegistryStore::findSubkey(RegistryKeyId parent, const std::string& name) {
    RegistryStatement find(connection_, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    find.bind(1, parent).bindBytes(2, FoldRegistryName(name));
    if (!find.step())
        return std::nullopt;
    return find.integer(0);
}

std::optional<RegistryKeyId> RegistryStore::findKey(const std::vector<std::string>& names) {
    std::optional<RegistryKeyId> key = kRootKey;
    for (const std::string& name : names) {
        key = findSubkey(*key, name);
        if (!key)
            return std::nullopt;
    }
    return key;
}

RegistryKeyId RegistryStore::createKey(const std::vector<std::string>& names) {
    RegistryKeyId key = kRootKey;
    for (const std::string& name : names) {
        if (const auto existing = findSubkey(key, name)) {
            key = *existing;
            continue;
        }
        RegistryStatement insert(connection_,
                                 "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3) RETURNING id");
        insert.bind(1, key).bindBytes(2, name).bindBytes(3, FoldRegistryName(name));
        if (!insert.step())
            throw RegistryStoreError("a new key was not given an id");
        key = insert.integer(0);
    }
    return key;
}

bool RegistryStore::hasSubkeys(RegistryKeyId key) {
    RegistryStatement find(connection_, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    find.bind(1, key);
    return find.step();
}

bool RegistryStore::deleteKey(RegistryKeyId key) {
    if (key == kRootKey)
        return false;
    RegistryStatement values(connection_, OverSubtree("DELETE FROM key_values WHERE key IN subtree").c_str());
    values.bind(1, key).step();
    RegistryStatement keys(connection_, OverSubtree("DELETE FROM keys WHERE id IN subtree").c_str());
    keys.bind(1, key).step();
    return connection_.changes() > 0;
}

std::optional<StoredValue> RegistryStore::value(RegistryKeyId key, const std::string& name) {
    RegistryStatement find(connection_, "SELECT type, data FROM key_values WHERE key = ?1 AND folded = ?2");
    find.bind(1, key).bindBytes(2, FoldRegistryName(name));
    if (!find.step())
        return std::nullopt;
    return StoredValue{static_cast<std::uint32_t>(find.integer(0)), find.bytes(1)};
}

void RegistryStore::setValue(RegistryKeyId key, const std::string& name, const StoredValue& value) {
    // An existing value keeps its spelling and its place in the listing.
    RegistryStatement upsert(
        connection_, "INSERT INTO key_values(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                     "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.bind(1, key)
        .bindBytes(2, name)
        .bindBytes(3, FoldRegistryName(name))
        .bind(4, value.type)
        .bindBytes(5, value.bytes);
    upsert.step();
}

bool RegistryStore::deleteValue(RegistryKeyId key, const std::string& name) {
    RegistryStatement remove(connection_, "DELETE FROM key_values WHERE key = ?1 AND folded = ?2");
    remove.bind(1, key).bindBytes(2, FoldRegistryName(name));
    remove.step();
    return connection_.changes() > 0;
}

std::vector<std::string> RegistryStore::subkeyNames(RegistryKeyId key) {
    RegistryStatement list(connection_, "SELECT name FROM keys WHERE parent = ?1 ORDER BY id");
    list.bind(1, key);
    return Names(list);
}

std::vector<std::string> RegistryStore::valueNames(RegistryKeyId key) {
    RegistryStatement list(connection_, "SELECT name FROM key_values WHERE key = ?1 ORDER BY id");
    list.bind(1, key);
    return Names(list);
}
