// Fuzzes the edition VFS's open and read path.
//
// The first input byte picks what the rest is:
//   0  a whole edition file, taken as it is (header parsing, size checks);
//   1  a plain database image, sealed properly and then read through the VFS:
//      reads of any offset and length must give back exactly the image (and
//      zeros past its end), and when the image is a sound database SQLite
//      must make the same of it as of the plain file;
//   2  four bytes of position, one byte of change, then a plain image: the
//      image is sealed, one byte of the sealed file is changed, and the file
//      is read; an altered file must never open cleanly and read whole.
#include "EditionFormat.h"
#include "EditionVfs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kPassword[] = "fuzzing password";
constexpr std::uint32_t kBlockSize = 512;

std::string scratchPath()
{
    static const std::string path = "/dev/shm/varindel-edition-fuzz-" + std::to_string(getpid()) + ".abs";
    return path;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::abort();
    // The data reaches the file only when it is closed: a failure here would leave a short input.
    if (std::fclose(file) != 0)
        std::abort();
}

std::vector<unsigned char> padded(std::vector<unsigned char> plain)
{
    plain.resize(std::max<std::size_t>(kBlockSize, (plain.size() + kBlockSize - 1) / kBlockSize * kBlockSize));
    return plain;
}

std::vector<unsigned char> seal(const std::vector<unsigned char>& plain)
{
    EditionHeader header;
    header.blockSize = kBlockSize;
    header.plainSize = plain.size();
    header.salt = NewEditionSalt();
    EditionCipher cipher(kPassword, header);
    const auto head = cipher.sealHeader();
    std::vector<unsigned char> sealed(head.begin(), head.end());
    sealed.resize(header.sealedFileSize());
    for (std::uint64_t block = 0; block < header.blockCount(); ++block)
        cipher.sealBlock(block, plain.data() + block * kBlockSize, sealed.data() + header.blockOffset(block));
    return sealed;
}

int stopLongRuns(void* steps)
{
    return ++*static_cast<int*>(steps) > 2000;
}

// Everything the queries below give back, as one text; errors included.
std::string readAll(sqlite3* db)
{
    int steps = 0;
    sqlite3_progress_handler(db, 100, stopLongRuns, &steps);
    std::string out;
    const char* statements[] = {"PRAGMA quick_check", "SELECT type, name, tbl_name, sql FROM sqlite_master",
                                "SELECT * FROM FIRMS", "SELECT * FROM Content"};
    for (const char* sql : statements) {
        sqlite3_stmt* statement = nullptr;
        int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        for (int row = 0; rc == SQLITE_OK && row < 200; ++row) {
            rc = sqlite3_step(statement);
            if (rc != SQLITE_ROW)
                break;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const auto* text = sqlite3_column_blob(statement, column);
                out.append(static_cast<const char*>(text ? text : ""), sqlite3_column_bytes(statement, column));
                out += '|';
            }
            rc = SQLITE_OK;
        }
        out += "#" + std::to_string(rc) + "\n";
        sqlite3_finalize(statement);
    }
    return out;
}

// Reads of many offsets and lengths straight through the VFS file, crossing
// block borders and the end of the file; true when every byte matches.
bool rawReadsMatch(sqlite3* db, const std::vector<unsigned char>& image)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        return false;
    const std::int64_t size = static_cast<std::int64_t>(image.size());
    std::vector<unsigned char> buffer;
    for (std::int64_t offset = 0; offset < size + 700; offset += 331) {
        const int length = 1 + static_cast<int>((offset * 7) % 1500);
        buffer.assign(length, 0xAA);
        const int rc = file->pMethods->xRead(file, buffer.data(), length, offset);
        const bool pastEnd = offset + length > size;
        if (rc != (pastEnd ? SQLITE_IOERR_SHORT_READ : SQLITE_OK))
            return false;
        for (int i = 0; i < length; ++i) {
            const unsigned char expected = offset + i < size ? image[offset + i] : 0;
            if (buffer[i] != expected)
                return false;
        }
    }
    return true;
}

std::string readThroughEdition(EditionFaultReport& openFault, EditionFaultReport& readFault,
                               const std::vector<unsigned char>* image = nullptr, bool* rawMatch = nullptr)
{
    sqlite3* db = nullptr;
    SetEditionPassword(kPassword);
    const int rc =
        sqlite3_open_v2(EditionUri(scratchPath()).c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, kEditionVfsName);
    ClearEditionPassword();
    openFault = LastEditionOpenFault();
    std::string out;
    if (rc == SQLITE_OK) {
        if (image)
            *rawMatch = rawReadsMatch(db, *image);
        out = readAll(db);
        readFault = EditionReadFault(db);
    }
    sqlite3_close(db);
    return out;
}

std::string plainPath()
{
    static const std::string path = "/dev/shm/varindel-edition-fuzz-" + std::to_string(getpid()) + ".sqlite";
    return path;
}

// The same image as a plain file through SQLite's own VFS, opened the same
// way (read-only, immutable): the reference the edition view must equal.
std::string readDirectly(const std::vector<unsigned char>& image)
{
    writeFile(plainPath(), image);
    sqlite3* db = nullptr;
    const std::string uri = "file:" + plainPath() + "?immutable=1";
    std::string out;
    if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK)
        out = readAll(db);
    sqlite3_close(db);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RegisterEditionVfs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > std::size_t{64} * 1024)
        return 0;
    const int mode = data[0] % 3;
    EditionFaultReport openFault, readFault;
    if (mode == 0) {
        writeFile(scratchPath(), std::vector<unsigned char>(data + 1, data + size));
        readThroughEdition(openFault, readFault);
        return 0;
    }
    if (mode == 1) {
        const std::vector<unsigned char> plain = padded(std::vector<unsigned char>(data + 1, data + size));
        writeFile(scratchPath(), seal(plain));
        bool rawMatch = false;
        const std::string sealedView = readThroughEdition(openFault, readFault, &plain, &rawMatch);
        const std::string directView = readDirectly(plain);
        // On a damaged database SQLite's own answers may vary with leftovers
        // in its page buffers, so the two views are compared only when sound.
        const bool sound = directView.rfind("ok|#101", 0) == 0;
        if (!openFault.ok() || !readFault.ok() || !rawMatch || (sound && sealedView != directView)) {
            std::fprintf(stderr, "faults %d %d\nsealed:\n%s\ndirect:\n%s\n", int(openFault.fault),
                         int(readFault.fault), sealedView.c_str(), directView.c_str());
            std::abort();
        }
        return 0;
    }
    if (size < 6)
        return 0;
    std::uint32_t position = 0;
    std::memcpy(&position, data + 1, 4);
    const unsigned char change = data[5] ? data[5] : 1;
    std::vector<unsigned char> sealed = seal(padded(std::vector<unsigned char>(data + 6, data + size)));
    sealed[position % sealed.size()] ^= change;
    writeFile(scratchPath(), sealed);
    const std::string view = readThroughEdition(openFault, readFault);
    // Page 1 is always read. An altered byte in the header or in block 0 must
    // stop the opening or the reading: quick_check may never answer "ok".
    const bool inHeaderOrFirstBlock = position % sealed.size() < kEditionHeaderSize + kBlockSize + kEditionTagSize;
    if (inHeaderOrFirstBlock && openFault.ok() && view.rfind("ok|", 0) == 0)
        std::abort();
    return 0;
}
