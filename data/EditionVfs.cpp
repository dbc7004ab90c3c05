#include "EditionVfs.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// From this many blocks on (16 MiB of 4 KiB pages) a second thread checks
// half of them while the file opens.
constexpr std::uint64_t kBlocksForASecondThread = 4096;

// How many opened blocks a file keeps. SQLite has its own page cache; these
// only spare a second check when SQLite reads parts of one block in turns
// (the file header, then the first page).
constexpr std::size_t kCachedBlocks = 4;

struct CachedBlock {
    std::uint64_t number = ~std::uint64_t(0);
    std::uint64_t lastUse = 0;
    std::vector<unsigned char> plain;
};

// State of one open edition file, owned by the SQLite file object below.
struct EditionState {
    sqlite3_file* real = nullptr; // the file as the default VFS opened it
    std::unique_ptr<EditionCipher> cipher;
    std::vector<unsigned char> sealedBuffer;
    std::array<CachedBlock, kCachedBlocks> cache;
    std::uint64_t useCounter = 0;
    // The first fault stays: once a block failed, the file is damaged, and
    // any later read error of this file is reported as that damage.
    EditionFaultReport fault;
};

// SQLite allocates szOsFile bytes for every file it opens through us. Edition
// files use the struct below; scratch files (sorting, temporary tables) are
// handed to the default VFS in the same memory, so szOsFile covers both.
struct EditionFile {
    sqlite3_file base;
    EditionState* state;
};

thread_local std::string gPassword;
thread_local EditionFaultReport gLastOpenFault;


EditionState& stateOf(sqlite3_file* file)
{
    return *reinterpret_cast<EditionFile*>(file)->state;
}

int readReal(EditionState& state, void* buffer, std::uint64_t length, std::uint64_t offset)
{
    return state.real->pMethods->xRead(state.real, buffer, static_cast<int>(length), static_cast<sqlite3_int64>(offset));
}

// The opened block `number`, from the cache or read and checked now; null
// when the block fails (the fault is recorded on the file).
const unsigned char* openedBlock(EditionState& state, std::uint64_t number)
{
    ++state.useCounter;
    for (CachedBlock& cached : state.cache) {
        if (cached.number == number) {
            cached.lastUse = state.useCounter;
            return cached.plain.data();
        }
    }
    CachedBlock& victim = *std::min_element(state.cache.begin(), state.cache.end(),
                                            [](const CachedBlock& a, const CachedBlock& b) { return a.lastUse < b.lastUse; });
    const EditionHeader& header = state.cipher->header();
    const int rc = readReal(state, state.sealedBuffer.data(), header.sealedBlockSize(), header.blockOffset(number));
    if (rc != SQLITE_OK) {
        if (state.fault.ok())
            state.fault = {rc == SQLITE_IOERR_SHORT_READ ? EditionFault::Truncated : EditionFault::Unreadable, 0};
        return nullptr;
    }
    victim.plain.resize(header.blockSize);
    victim.number = ~std::uint64_t(0);
    if (!state.cipher->openBlock(number, state.sealedBuffer.data(), victim.plain.data())) {
        if (state.fault.ok())
            state.fault = {EditionFault::DamagedBlock, number};
        return nullptr;
    }
    victim.number = number;
    victim.lastUse = state.useCounter;
    return victim.plain.data();
}

int editionClose(sqlite3_file* file)
{
    EditionState* state = &stateOf(file);
    // SQLite reads the first page while it opens the database and closes the
    // file again when that read fails: the fault outlives the file this way.
    if (!state->fault.ok())
        gLastOpenFault = state->fault;
    int rc = SQLITE_OK;
    if (state->real) {
        rc = state->real->pMethods ? state->real->pMethods->xClose(state->real) : SQLITE_OK;
        sqlite3_free(state->real);
    }
    delete state;
    reinterpret_cast<EditionFile*>(file)->state = nullptr;
    return rc;
}

int editionRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    EditionState& state = stateOf(file);
    if (amount < 0 || offset < 0)
        return SQLITE_IOERR_READ;
    const EditionHeader& header = state.cipher->header();
    auto* out = static_cast<unsigned char*>(buffer);
    std::uint64_t position = static_cast<std::uint64_t>(offset);
    std::uint64_t remaining = static_cast<std::uint64_t>(amount);
    while (remaining > 0 && position < header.plainSize) {
        const std::uint64_t number = position / header.blockSize;
        const std::uint64_t within = position % header.blockSize;
        const std::uint64_t piece = std::min<std::uint64_t>(remaining, header.blockSize - within);
        const unsigned char* plain = openedBlock(state, number);
        if (!plain)
            return SQLITE_IOERR_READ;
        std::memcpy(out, plain + within, piece);
        out += piece;
        position += piece;
        remaining -= piece;
    }
    if (remaining > 0) {
        // SQLite's contract: fill what lies past the end with zeros and say so.
        std::memset(out, 0, remaining);
        return SQLITE_IOERR_SHORT_READ;
    }
    return SQLITE_OK;
}

int editionWrite(sqlite3_file*, const void*, int, sqlite3_int64)
{
    return SQLITE_READONLY;
}

int editionTruncate(sqlite3_file*, sqlite3_int64)
{
    return SQLITE_READONLY;
}

int editionSync(sqlite3_file*, int)
{
    return SQLITE_OK;
}

int editionFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    *size = static_cast<sqlite3_int64>(stateOf(file).cipher->header().plainSize);
    return SQLITE_OK;
}

// The file never changes and nobody writes it, so there is nothing to lock.
int editionLock(sqlite3_file*, int)
{
    return SQLITE_OK;
}

int editionCheckReservedLock(sqlite3_file*, int* reserved)
{
    *reserved = 0;
    return SQLITE_OK;
}

int editionFileControl(sqlite3_file*, int, void*)
{
    return SQLITE_NOTFOUND;
}

int editionSectorSize(sqlite3_file* file)
{
    return static_cast<int>(stateOf(file).cipher->header().blockSize);
}

int editionDeviceCharacteristics(sqlite3_file*)
{
    return SQLITE_IOCAP_IMMUTABLE;
}

// Version 1: no shared memory and no memory mapping, so every page SQLite
// wants comes through editionRead.
const sqlite3_io_methods kEditionMethods = {
    1,
    editionClose,
    editionRead,
    editionWrite,
    editionTruncate,
    editionSync,
    editionFileSize,
    editionLock,
    editionLock,
    editionCheckReservedLock,
    editionFileControl,
    editionSectorSize,
    editionDeviceCharacteristics,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

EditionFaultReport checkHeader(EditionState& state, const std::string& password)
{
    sqlite3_int64 realSize = 0;
    if (state.real->pMethods->xFileSize(state.real, &realSize) != SQLITE_OK || realSize < 0)
        return {EditionFault::Unreadable, 0};
    std::array<unsigned char, kEditionHeaderSize> bytes{};
    const auto available = static_cast<std::uint64_t>(realSize);
    const std::uint64_t headerLength = std::min<std::uint64_t>(available, kEditionHeaderSize);
    if (headerLength > 0 && readReal(state, bytes.data(), headerLength, 0) != SQLITE_OK)
        return {EditionFault::Unreadable, 0};
    EditionOpening opening = OpenEditionHeader(bytes.data(), available, password);
    if (!opening.fault.ok())
        return opening.fault;
    state.cipher = std::move(opening.cipher);
    state.sealedBuffer.resize(state.cipher->header().sealedBlockSize());
    return {};
}

// Checks the tags of blocks first..last-1, read through `file` in runs.
EditionFaultReport checkBlocks(sqlite3_file* file, const EditionCipher& cipher, std::uint64_t first,
                               std::uint64_t last)
{
    constexpr std::uint64_t kBlocksPerRead = 32;
    const EditionHeader& header = cipher.header();
    const std::uint64_t sealedSize = header.sealedBlockSize();
    std::vector<unsigned char> sealed(sealedSize * kBlocksPerRead);
    for (std::uint64_t run = first; run < last; run += kBlocksPerRead) {
        const std::uint64_t count = std::min(kBlocksPerRead, last - run);
        const int rc = file->pMethods->xRead(file, sealed.data(), static_cast<int>(count * sealedSize),
                                             static_cast<sqlite3_int64>(header.blockOffset(run)));
        if (rc != SQLITE_OK)
            return {rc == SQLITE_IOERR_SHORT_READ ? EditionFault::Truncated : EditionFault::Unreadable, 0};
        for (std::uint64_t i = 0; i < count; ++i)
            if (!cipher.blockIsIntact(run + i, sealed.data() + i * sealedSize))
                return {EditionFault::DamagedBlock, run + i};
    }
    return {};
}

// The same through a file of its own, opened by the default VFS, so that
// another thread can check a part of the edition beside the opening one.
EditionFaultReport checkBlocksOnOwnFile(sqlite3_vfs* real, const char* name, const EditionCipher& cipher,
                                        std::uint64_t first, std::uint64_t last)
{
    auto* file = static_cast<sqlite3_file*>(sqlite3_malloc(real->szOsFile));
    if (!file)
        return {EditionFault::Unreadable, 0};
    std::memset(file, 0, static_cast<std::size_t>(real->szOsFile));
    int flags = 0;
    EditionFaultReport fault{EditionFault::Unreadable, 0};
    if (real->xOpen(real, name, file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) == SQLITE_OK)
        fault = checkBlocks(file, cipher, first, last);
    if (file->pMethods)
        file->pMethods->xClose(file);
    sqlite3_free(file);
    return fault;
}

// Every block is checked once while the file opens: damage anywhere, also in
// pages that no statement of the program ever reads (the AUTOINCREMENT
// counters, an index no query uses), is reported at once instead of never or
// in the middle of later work. The blocks are read in runs and forgotten, so
// memory stays small whatever the size of the file; only their tags are
// checked here, and each is deciphered (and checked again) when it is read.
// A large edition is checked in two halves at once, the second by a thread
// of its own; the first damage in file order is reported all the same.
EditionFaultReport checkEveryBlock(EditionState& state, sqlite3_vfs* real, const char* name)
{
    const EditionCipher& cipher = *state.cipher;
    const std::uint64_t count = cipher.header().blockCount();
    if (count < kBlocksForASecondThread || std::thread::hardware_concurrency() < 2)
        return checkBlocks(state.real, cipher, 0, count);
    const std::uint64_t middle = count / 2;
    std::future<EditionFaultReport> secondHalf;
    try {
        // SQLite's own name, as the opening got it, which lives until the opening returns.
        secondHalf = std::async(std::launch::async, checkBlocksOnOwnFile, real, name, std::cref(cipher), middle, count);
    } catch (const std::system_error&) {
        return checkBlocks(state.real, cipher, 0, count);
    }
    const EditionFaultReport firstHalf = checkBlocks(state.real, cipher, 0, middle);
    const EditionFaultReport rest = secondHalf.get();
    return firstHalf.ok() ? rest : firstHalf;
}

int failOpen(sqlite3_file* file, EditionFaultReport fault, int rc)
{
    gLastOpenFault = fault;
    editionClose(file);
    file->pMethods = nullptr;
    return rc;
}

int openEdition(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int* outFlags)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    auto* edition = reinterpret_cast<EditionFile*>(file);
    edition->base.pMethods = nullptr;
    edition->state = new (std::nothrow) EditionState;
    if (!edition->state)
        return SQLITE_NOMEM;
    EditionState& state = *edition->state;
    state.real = static_cast<sqlite3_file*>(sqlite3_malloc(real->szOsFile));
    if (!state.real)
        return failOpen(file, {EditionFault::Unreadable, 0}, SQLITE_NOMEM);
    std::memset(state.real, 0, static_cast<std::size_t>(real->szOsFile));
    int realFlags = 0;
    const int rc = real->xOpen(real, name, state.real, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &realFlags);
    if (rc != SQLITE_OK) {
        int exists = 0;
        real->xAccess(real, name, SQLITE_ACCESS_EXISTS, &exists);
        return failOpen(file, {exists ? EditionFault::Unreadable : EditionFault::Missing, 0}, SQLITE_CANTOPEN);
    }
    EditionFaultReport fault = checkHeader(state, gPassword);
    if (fault.ok())
        fault = checkEveryBlock(state, real, name);
    if (!fault.ok())
        return failOpen(file, fault, fault.fault == EditionFault::Unreadable ? SQLITE_IOERR : SQLITE_NOTADB);
    edition->base.pMethods = &kEditionMethods;
    if (outFlags)
        *outFlags = SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB;
    gLastOpenFault = {};
    return SQLITE_OK;
}

int vfsOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    // Nameless and delete-on-close files are SQLite's own scratch files; they
    // are not the edition and live in the temporary folder as usual.
    if (!name || (flags & SQLITE_OPEN_DELETEONCLOSE))
        return real->xOpen(real, name, file, flags, outFlags);
    if (flags & SQLITE_OPEN_MAIN_DB)
        return openEdition(vfs, name, file, outFlags);
    // A journal or write-ahead log next to an edition would mean a write.
    file->pMethods = nullptr;
    return SQLITE_CANTOPEN;
}

int vfsDelete(sqlite3_vfs*, const char*, int)
{
    return SQLITE_IOERR_DELETE;
}

int vfsAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xAccess(real, name, flags, result);
}

int vfsFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xFullPathname(real, name, size, out);
}

void* vfsDlOpen(sqlite3_vfs* vfs, const char* name)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xDlOpen(real, name);
}

void vfsDlError(sqlite3_vfs* vfs, int size, char* message)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    real->xDlError(real, size, message);
}

void (*vfsDlSym(sqlite3_vfs* vfs, void* handle, const char* symbol))(void)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xDlSym(real, handle, symbol);
}

void vfsDlClose(sqlite3_vfs* vfs, void* handle)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    real->xDlClose(real, handle);
}

int vfsRandomness(sqlite3_vfs* vfs, int size, char* out)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xRandomness(real, size, out);
}

int vfsSleep(sqlite3_vfs* vfs, int microseconds)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xSleep(real, microseconds);
}

int vfsCurrentTime(sqlite3_vfs* vfs, double* now)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xCurrentTime(real, now);
}

int vfsGetLastError(sqlite3_vfs* vfs, int size, char* message)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    return real->xGetLastError ? real->xGetLastError(real, size, message) : 0;
}

int vfsCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* now)
{
    sqlite3_vfs* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
    if (real->iVersion >= 2 && real->xCurrentTimeInt64)
        return real->xCurrentTimeInt64(real, now);
    double days = 0;
    const int rc = real->xCurrentTime(real, &days);
    *now = static_cast<sqlite3_int64>(days * 86400000.0);
    return rc;
}

char hexDigit(int value)
{
    return "0123456789ABCDEF"[value & 15];
}

} // namespace

void RegisterEditionVfs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        InitialiseEditionCrypto();
        sqlite3_initialize();
        static sqlite3_vfs vfs{};
        sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
        vfs.iVersion = 2;
        vfs.szOsFile = std::max<int>(sizeof(EditionFile), real->szOsFile);
        vfs.mxPathname = real->mxPathname;
        vfs.zName = kEditionVfsName;
        vfs.pAppData = real;
        vfs.xOpen = vfsOpen;
        vfs.xDelete = vfsDelete;
        vfs.xAccess = vfsAccess;
        vfs.xFullPathname = vfsFullPathname;
        vfs.xDlOpen = vfsDlOpen;
        vfs.xDlError = vfsDlError;
        vfs.xDlSym = vfsDlSym;
        vfs.xDlClose = vfsDlClose;
        vfs.xRandomness = vfsRandomness;
        vfs.xSleep = vfsSleep;
        vfs.xCurrentTime = vfsCurrentTime;
        vfs.xGetLastError = vfsGetLastError;
        vfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
        sqlite3_vfs_register(&vfs, 0);
    });
}

std::string EditionUri(const std::string& path)
{
    std::string uri = "file:";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
                           (c != '\0' && std::strchr("/-._~", c));
        if (plain)
            uri += c;
        else {
            uri += '%';
            uri += hexDigit(byte >> 4);
            uri += hexDigit(byte);
        }
    }
    return uri + "?immutable=1";
}

void SetEditionPassword(const std::string& password)
{
    gPassword = password;
}

void ClearEditionPassword()
{
    std::fill(gPassword.begin(), gPassword.end(), '\0');
    gPassword.clear();
}

EditionFaultReport LastEditionOpenFault()
{
    return gLastOpenFault;
}

EditionFaultReport EditionReadFault(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file)
        return {};
    if (file->pMethods != &kEditionMethods)
        return {};
    return stateOf(file).fault;
}
