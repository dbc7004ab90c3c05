#include "CaseFunctions.h"

#include "LikeFunction.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Firm names are short: their case is changed on the stack.
constexpr std::size_t kStackText = 1024;

template <bool Upper> constexpr unsigned char asciiCase(unsigned char c) {
    const bool other = Upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z');
    return other ? static_cast<unsigned char>(c ^ 0x20) : c;
}

// The two bytes a two-byte character led by 0xD0 or 0xD1 becomes, indexed
// by the lead's last bit and the second byte's low six bits: the basic
// Cyrillic letters U+0400..U+047F with their case changed.
template <bool Upper> constexpr std::array<std::array<unsigned char, 2>, 128> cyrillicCase() {
    std::array<std::array<unsigned char, 2>, 128> table{};
    for (unsigned index = 0; index < table.size(); ++index) {
        const unsigned code = 0x400 + index;
        unsigned changed = code;
        if (Upper && code >= 0x430 && code <= 0x44F)
            changed = code - 0x20;
        else if (Upper && code >= 0x450 && code <= 0x45F)
            changed = code - 0x50;
        else if (!Upper && code >= 0x410 && code <= 0x42F)
            changed = code + 0x20;
        else if (!Upper && code >= 0x400 && code <= 0x40F)
            changed = code + 0x50;
        table[index] = {static_cast<unsigned char>(0xC0 | (changed >> 6)),
                        static_cast<unsigned char>(0x80 | (changed & 0x3F))};
    }
    return table;
}

template <bool Upper> constexpr auto kCyrillicCase = cyrillicCase<Upper>();

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// What the fast way learnt of the text while changing it.
struct ChangedShape {
    bool nulInside = false;
    bool canonical = true; // every character in UTF-8's one way of writing it
};

// Changes the case of Latin and basic Cyrillic letters (U+0400..U+045F)
// straight in UTF-8, passing the punctuation of firm names (« », dashes, №)
// as it is: that is what a directory's names are made of. `out` has room
// for `length` bytes. Nothing for anything else, which then takes the
// general way.
template <bool Upper>
std::optional<ChangedShape> changeCaseFast(const unsigned char* text, std::size_t length,
                                           unsigned char* out) {
    ChangedShape shape;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            shape.nulInside |= c == '\0';
            out[i++] = asciiCase<Upper>(c);
            continue;
        }
        if (i + 1 >= length)
            return std::nullopt;
        const unsigned char next = text[i + 1];
        if ((c & 0xFE) == 0xD0) {
            const auto& changed = kCyrillicCase<Upper>[((c & 1u) << 6) | (next & 0x3Fu)];
            out[i] = changed[0];
            out[i + 1] = changed[1];
            i += 2;
        } else if (c == 0xC2 && next != 0xB5) {
            // Latin-1 punctuation, « and » among them (µ alone has an upper case)
            shape.canonical &= isContinuation(next);
            out[i] = c;
            out[i + 1] = next;
            i += 2;
        } else if (c == 0xE2 && i + 2 < length &&
                   (next == 0x80 || next == 0x81 || (next == 0x84 && text[i + 2] == 0x96))) {
            // dashes, quotes, the ellipsis and "№": nothing to change
            shape.canonical &= isContinuation(text[i + 2]);
            std::memcpy(out + i, text + i, 3);
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return shape;
}

// Hands the changed text, NUL-terminated, to SQLite. Without a NUL inside
// it goes as such, which LIKE and instr then read as it is; given by its
// length SQLite would reallocate it to add the terminator on every row.
// Canonical text is marked so, and LIKE takes it without checking again.
void resultText(sqlite3_context* context, const char* text, std::size_t length, ChangedShape shape) {
    sqlite3_result_text(context, text, shape.nulInside ? static_cast<int>(length) : -1, SQLITE_TRANSIENT);
    if (shape.canonical && !shape.nulInside)
        sqlite3_result_subtype(context, kCanonicalTextSubtype);
}

// UPPER and LOWER for all of Unicode: SQLite's own ones change Latin
// letters only. Searches call them once per firm row, so the usual letters
// are changed without leaving UTF-8, on the stack.
template <bool Upper> void changeCase(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* text = sqlite3_value_text(arguments[0]);
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    const auto length = static_cast<std::size_t>(sqlite3_value_bytes(arguments[0]));
    std::array<unsigned char, kStackText> onStack;
    std::string onHeap;
    unsigned char* out = onStack.data();
    if (length >= onStack.size()) {
        onHeap.resize(length);
        out = reinterpret_cast<unsigned char*>(onHeap.data());
    }
    if (const std::optional<ChangedShape> shape = changeCaseFast<Upper>(text, length, out)) {
        out[length] = '\0';
        resultText(context, reinterpret_cast<const char*>(out), length, *shape);
        return;
    }
    const QString unicode =
        QString::fromUtf8(reinterpret_cast<const char*>(text), static_cast<qsizetype>(length));
    const std::string changed = (Upper ? unicode.toUpper() : unicode.toLower()).toStdString();
    resultText(context, changed.c_str(), changed.size(),
               {.nulInside = std::strlen(changed.c_str()) != changed.size(), .canonical = false});
}

} // namespace

void RegisterUnicodeCaseFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS | kResultSubtypeFlag;
    sqlite3_create_function_v2(db, "UPPER", 1, flags, nullptr, changeCase<true>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "LOWER", 1, flags, nullptr, changeCase<false>, nullptr, nullptr, nullptr);
}
