#include "LikeFunction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kNone = std::string::npos;

// LIKE ignores the case of ASCII letters only.
constexpr unsigned char foldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c;
}

bool isAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The bytes of the character that starts `text`, when they are UTF-8's one
// way of writing it and SQLite reads the character as written; 0 otherwise
// (SQLite reads overlong forms, surrogates, U+FFFE and U+FFFF as U+FFFD, and
// a stray byte of a character as a character of its own).
std::size_t canonicalCharacter(const unsigned char* text) {
    const unsigned char c = text[0];
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return isContinuation(text[1]) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned char second = text[1];
        const bool secondFits = c == 0xE0   ? (second >= 0xA0 && second <= 0xBF)
                                : c == 0xED ? (second >= 0x80 && second <= 0x9F)
                                            : isContinuation(second);
        const bool noncharacter = c == 0xEF && second == 0xBF && (text[2] == 0xBE || text[2] == 0xBF);
        return secondFits && isContinuation(text[2]) && !noncharacter ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char second = text[1];
        const bool secondFits = c == 0xF0   ? (second >= 0x90 && second <= 0xBF)
                                : c == 0xF4 ? (second >= 0x80 && second <= 0x8F)
                                            : isContinuation(second);
        return secondFits && isContinuation(text[2]) && isContinuation(text[3]) ? 4 : 0;
    }
    return 0;
}

constexpr std::uint64_t kHighBits = 0x8080808080808080;
constexpr std::uint64_t kLowBits = 0x0101010101010101;

// Of eight bytes read as one little-endian word, how many start with a run
// of whole ASCII and two-byte characters (leads C2..DF, each followed by a
// continuation byte) and no NUL: 8, or 7 when the last byte leads a
// character into the next word; 0 when the word holds anything else. This
// is all a directory's names are made of, Cyrillic and « » included.
int plainTwoByteRun(std::uint64_t word) {
    const std::uint64_t high = word & kHighBits;
    const std::uint64_t bit6 = (word << 1) & kHighBits;
    const std::uint64_t bit5 = (word << 2) & kHighBits;
    const std::uint64_t continuations = high & ~bit6;
    const std::uint64_t leads = high & bit6 & ~bit5;
    const std::uint64_t longLeads = high & bit6 & bit5;
    // C0 and C1 lead only overlong forms: their bits 1..4 are all zero.
    const std::uint64_t properLeads = ((word & 0x1E1E1E1E1E1E1E1E) + 0x7F7F7F7F7F7F7F7F) & kHighBits;
    const bool nul = ((word - kLowBits) & ~word & kHighBits) != 0;
    if (nul || longLeads || (leads & ~properLeads) || continuations != (leads << 8))
        return 0;
    return leads >> 63 ? 7 : 8;
}

// plainTwoByteRun for sixteen bytes at once: 16, or 15 when the last byte
// leads a character into the next ones; 0 when they hold anything else.
// A search reads the names of a hundred thousand firms, most of them
// longer than a word.
int plainTwoByteRun(__m128i bytes) {
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())) != 0)
        return 0;
    const int high = _mm_movemask_epi8(bytes);
    if (high == 0)
        return 16;
    // Compared as signed bytes: continuations 80..BF are below C0, proper
    // leads C2..DF above C1 and below E0.
    const int continuations =
        _mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC0))));
    const int leads =
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC1))),
                                        _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xE0)))));
    if ((leads | continuations) != high || continuations != ((leads << 1) & 0xFFFF))
        return 0;
    return (leads & 0x8000) != 0 ? 15 : 16;
}

constexpr std::size_t kBlock = sizeof(__m128i);

// The sixteen bytes of `text` from `at`, the first `blanked` of them made blanks.
__m128i blockAt(const unsigned char* text, std::size_t at, std::size_t blanked) {
    // Sixteen set bytes, then sixteen clear: from `kBlock - blanked` on, the mask of the first `blanked`.
    static constexpr std::array<unsigned char, 2 * kBlock> kFirstBytes = {
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
    if (blanked == 0)
        return bytes;
    const __m128i mask =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kFirstBytes.data() + kBlock - blanked));
    return _mm_or_si128(_mm_andnot_si128(mask, bytes), _mm_and_si128(mask, _mm_set1_epi8(' ')));
}

constexpr std::uint64_t kBlanks = 0x2020202020202020;

// The eight bytes of `text` from `at` as a word; when fewer than eight of
// its `bytes` are left, the rest is padded with blanks, which end no
// character and hold no NUL. Nothing past `bytes` is read.
std::uint64_t wordAt(const unsigned char* text, std::size_t at, std::size_t bytes) {
    std::uint64_t word = kBlanks;
    if (at + sizeof word <= bytes) {
        std::memcpy(&word, text + at, sizeof word);
        return word;
    }
    const std::size_t rest = bytes - at;
    if (bytes >= sizeof word) {
        // The last eight bytes, moved down past those already checked.
        std::memcpy(&word, text + bytes - sizeof word, sizeof word);
        const std::size_t checked = 8 * (sizeof word - rest);
        return (word >> checked) | (kBlanks << (64 - checked));
    }
    for (std::size_t i = 0; i < rest; ++i)
        word = (word & ~(std::uint64_t{0xFF} << (8 * i))) | (std::uint64_t{text[at + i]} << (8 * i));
    return word;
}

// The length of `text` up to its first NUL (LIKE reads no further) when all
// of it is canonical UTF-8; kNone otherwise. Then SQLite's characters are
// the bytes' characters, and equal characters are equal bytes. `bytes` is
// how many bytes the value holds; a NUL follows them. Runs of ASCII and
// two-byte characters are checked sixteen or eight bytes at a time.
std::size_t canonicalLength(const unsigned char* text, std::size_t bytes) {
    std::size_t length = 0;
    for (;;) {
        if (length < bytes && bytes >= kBlock) {
            // Near the end, the last sixteen bytes, those already checked made blanks.
            const std::size_t start = std::min(length, bytes - kBlock);
            const int run = plainTwoByteRun(blockAt(text, start, length - start));
            if (run > 0 && start + static_cast<std::size_t>(run) > length) {
                length = start + static_cast<std::size_t>(run);
                continue;
            }
        }
        if constexpr (std::endian::native == std::endian::little) {
            if (length < bytes) {
                if (const int run = plainTwoByteRun(wordAt(text, length, bytes)); run > 0) {
                    length = std::min(length + static_cast<std::size_t>(run), bytes);
                    continue;
                }
            }
        }
        const unsigned char c = text[length];
        if (c < 0x80) {
            if (c == '\0')
                return length;
            ++length;
        } else if (c >= 0xC2 && c <= 0xDF && isContinuation(text[length + 1])) {
            length += 2;
        } else if (const std::size_t character = canonicalCharacter(text + length); character > 0) {
            length += character;
        } else {
            return kNone;
        }
    }
}

// A pattern of the shape every search writes, "%text%": the middle is found
// anywhere in the text, ASCII letters in either case. Worked out once per
// statement, as SQLite keeps it beside the constant pattern.
struct ContainsPattern {
    std::string pattern;        // the pattern's bytes as given, NUL-terminated
    bool substring = false;     // "%…%" around canonical UTF-8 without % or _, within the length limit
    std::string middle;         // the text between, ASCII letters in lower case
    std::size_t anchor = kNone; // a byte of the middle that no letter folds to, for memchr
};

// `given` is the pattern's bytes; LIKE reads it up to the first NUL, and
// refuses it when all of them are more than `limit`.
ContainsPattern analyse(std::string_view given, int limit) {
    ContainsPattern analysed{.pattern = std::string(given)};
    const std::string_view pattern(analysed.pattern.c_str());
    const std::size_t first = pattern.find_first_not_of('%');
    const std::size_t last = pattern.find_last_not_of('%');
    if (given.size() > static_cast<std::size_t>(std::max(limit, 0)) || first == 0 || first == kNone ||
        last + 1 == pattern.size())
        return analysed;
    const std::string_view middle = pattern.substr(first, last + 1 - first);
    if (middle.find_first_of("%_") != kNone ||
        canonicalLength(reinterpret_cast<const unsigned char*>(analysed.pattern.c_str() + first),
                        analysed.pattern.size() - first) == kNone)
        return analysed;
    analysed.substring = true;
    for (const char c : middle)
        analysed.middle += static_cast<char>(foldAscii(static_cast<unsigned char>(c)));
    // A byte inside a character seldom repeats in the text as a letter's lead byte does.
    for (std::size_t i = 0; i < middle.size() && analysed.anchor == kNone; ++i)
        if (isContinuation(static_cast<unsigned char>(middle[i])))
            analysed.anchor = i;
    for (std::size_t i = 0; i < middle.size() && analysed.anchor == kNone; ++i)
        if (!isAsciiLetter(static_cast<unsigned char>(middle[i])))
            analysed.anchor = i;
    return analysed;
}

bool equalAt(const unsigned char* text, const std::string& middle) {
    for (std::size_t i = 0; i < middle.size(); ++i)
        if (foldAscii(text[i]) != static_cast<unsigned char>(middle[i]))
            return false;
    return true;
}

bool contains(const unsigned char* text, std::size_t length, const ContainsPattern& pattern) {
    const std::size_t size = pattern.middle.size();
    if (size > length)
        return false;
    const std::size_t starts = length - size + 1;
    if (pattern.anchor == kNone) {
        for (std::size_t start = 0; start < starts; ++start)
            if (equalAt(text + start, pattern.middle))
                return true;
        return false;
    }
    const unsigned char anchor = static_cast<unsigned char>(pattern.middle[pattern.anchor]);
    const unsigned char* from = text + pattern.anchor;
    const unsigned char* const end = from + starts;
    while (from < end) {
        const auto* hit = static_cast<const unsigned char*>(
            std::memchr(from, anchor, static_cast<std::size_t>(end - from)));
        if (!hit)
            return false;
        if (equalAt(hit - pattern.anchor, pattern.middle))
            return true;
        from = hit + 1;
    }
    return false;
}

// SQLite's own LIKE, for everything the byte search does not take: it runs
// on a connection of this thread's own, where "like" is not replaced.
class BuiltInLike {
public:
    BuiltInLike() {
        if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr) ==
            SQLITE_OK)
            sqlite3_prepare_v2(db_, "SELECT like(?1, ?2)", -1, &statement_, nullptr);
    }
    ~BuiltInLike() {
        sqlite3_finalize(statement_);
        sqlite3_close(db_);
    }
    BuiltInLike(const BuiltInLike&) = delete;
    BuiltInLike& operator=(const BuiltInLike&) = delete;

    void evaluate(sqlite3_context* context, sqlite3_value** arguments) {
        if (!statement_) {
            sqlite3_result_error_nomem(context);
            return;
        }
        // The caller's limit on pattern length holds here too.
        sqlite3_limit(
            db_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH,
            sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1));
        sqlite3_bind_value(statement_, 1, arguments[0]);
        sqlite3_bind_value(statement_, 2, arguments[1]);
        if (sqlite3_step(statement_) == SQLITE_ROW)
            sqlite3_result_value(context, sqlite3_column_value(statement_, 0));
        else
            sqlite3_result_error(context, sqlite3_errmsg(db_), -1);
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

void builtInLike(sqlite3_context* context, sqlite3_value** arguments) {
    thread_local BuiltInLike builtIn;
    builtIn.evaluate(context, arguments);
}

// 1 or 0 from the byte search; -1 when it does not take this pattern or text.
int containsAnswer(const ContainsPattern& pattern, sqlite3_value* argument) {
    if (!pattern.substring)
        return -1;
    const unsigned char* text = sqlite3_value_text(argument);
    const std::size_t length =
        sqlite3_value_subtype(argument) == kCanonicalTextSubtype
            ? static_cast<std::size_t>(sqlite3_value_bytes(argument))
            : canonicalLength(text, static_cast<std::size_t>(sqlite3_value_bytes(argument)));
    if (length == kNone)
        return -1;
    return contains(text, length, pattern) ? 1 : 0;
}

// like(pattern, text), which "text LIKE pattern" calls.
void like(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) != SQLITE_TEXT || sqlite3_value_type(arguments[1]) != SQLITE_TEXT) {
        builtInLike(context, arguments);
        return;
    }
    // SQLite keeps what was set beside a pattern only while the pattern is
    // the same constant: for a pattern that changes from row to row it
    // hands back nothing, and the pattern is analysed again.
    const auto* pattern = static_cast<const ContainsPattern*>(sqlite3_get_auxdata(context, 0));
    std::unique_ptr<ContainsPattern> analysed;
    if (!pattern) {
        const std::string_view patternText(reinterpret_cast<const char*>(sqlite3_value_text(arguments[0])),
                                           static_cast<std::size_t>(sqlite3_value_bytes(arguments[0])));
        analysed = std::make_unique<ContainsPattern>(
            analyse(patternText,
                    sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)));
        pattern = analysed.get();
    }
    const int answer = containsAnswer(*pattern, arguments[1]);
    if (answer < 0)
        builtInLike(context, arguments);
    else
        sqlite3_result_int(context, answer);
    // Kept beside the constant pattern for the next rows; SQLite may free
    // it at once, so it is not used after this.
    if (analysed)
        sqlite3_set_auxdata(context, 0, analysed.release(),
                            [](void* kept) { delete static_cast<ContainsPattern*>(kept); });
}

} // namespace

void RegisterLikeFunction(sqlite3* db) {
    sqlite3_create_function_v2(db, "like", 2,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS | SQLITE_SUBTYPE,
                               nullptr, like, nullptr, nullptr, nullptr);
}
