// Text routines of Vdlutils. Their edge behaviour is part of their contract:
// the usage record and the mail forms rely on it character for character.
#include "Vdlutils.h"

#include <algorithm>

namespace {

bool IsUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

int CharacterCount(const std::string& text) {
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsUtf8Continuation(c); }));
}

// Byte offset at which the last `count` characters of the text begin.
std::size_t OffsetOfLastCharacters(const std::string& text, int count) {
    std::size_t offset = text.size();
    while (count > 0 && offset > 0) {
        --offset;
        if (!IsUtf8Continuation(text[offset]))
            --count;
    }
    return offset;
}

void DropLastCharacter(std::string& text) {
    text.erase(OffsetOfLastCharacters(text, 1));
}

// Walks the tab-separated fields up to the wanted one and hands each
// character of that field (tab included) to `collect`.
template <typename Collect>
std::string CollectField(const std::string& line, int fieldNumber, Collect collect) {
    std::string field;
    std::size_t position = 0;
    for (int current = 1; current <= fieldNumber; ++current) {
        field.clear();
        if (position >= line.size())
            return field;
        while (position < line.size()) {
            const char c = line[position++];
            collect(field, c);
            if (c == '\t')
                break;
        }
    }
    return field;
}

std::string LowerCaseExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = fileName.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return extension;
}

} // namespace

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string StrB(const std::string& text, bool empty) {
    return empty ? std::string() : text;
}

std::string MustBeLength(const std::string& text, char fill, int length) {
    if (length <= 0)
        return {};
    const int count = CharacterCount(text);
    if (count < length)
        return std::string(static_cast<std::size_t>(length - count), fill) + text;
    return text.substr(OffsetOfLastCharacters(text, length));
}

// Carriage returns become blanks; commas and tabs are dropped. Line feeds stay.
std::string GetFieldNorm(const std::string& line, int fieldNumber) {
    const std::string field = CollectField(line, fieldNumber, [](std::string& out, char c) {
        if (c == '\r')
            out += ' ';
        else if (c != ',' && c != '\t')
            out += c;
    });
    return Trim(field);
}

// Quotes and line ends become blanks, commas are dropped and the tab that
// ends a field is kept; the last collected character is then removed, which
// takes away that tab or the blank that the line end became.
std::string GetField(const std::string& line, int fieldNumber) {
    std::string field = CollectField(line, fieldNumber, [](std::string& out, char c) {
        if (c == '"' || c == '\r' || c == '\n')
            out += ' ';
        else if (c != ',')
            out += c;
    });
    DropLastCharacter(field);
    return Trim(field);
}

std::string NoExt(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(0, dot + 1);
}

std::string NoExtNoDot(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(0, dot);
}

// An empty path stays empty: turning "no folder" into the root folder would
// send every file built on it to "/".
std::string SlashMust(const std::string& path) {
    if (path.empty() || path.back() == '/')
        return path;
    return path + '/';
}

bool IsBpl(const std::string& fileName) {
    const std::string extension = LowerCaseExtension(fileName);
    return extension == ".bpl" || extension == ".dll";
}

bool IsExe(const std::string& fileName) {
    return LowerCaseExtension(fileName) == ".exe";
}
