#include "RegistryPath.h"

#include <QString>
#include <QStringDecoder>

namespace {

constexpr char kSeparator = '\\';

std::string FoldAsciiLetters(std::string bytes) {
    for (char& byte : bytes) {
        if (byte >= 'A' && byte <= 'Z')
            byte = static_cast<char>(byte - 'A' + 'a');
    }
    return bytes;
}

} // namespace

std::optional<RegistryValuePath> SplitValuePath(const std::string& path) {
    const auto separator = path.rfind(kSeparator);
    if (separator == std::string::npos)
        return std::nullopt;
    return RegistryValuePath{path.substr(0, separator), path.substr(separator + 1)};
}

std::optional<std::vector<std::string>> SplitKeyPath(const std::string& keyPath) {
    std::vector<std::string> names;
    if (keyPath.empty())
        return names;
    if (keyPath.front() == kSeparator)
        return std::nullopt;
    const std::string trimmed =
        keyPath.back() == kSeparator ? keyPath.substr(0, keyPath.size() - 1) : keyPath;
    std::string::size_type start = 0;
    while (true) {
        const auto separator = trimmed.find(kSeparator, start);
        std::string name =
            trimmed.substr(start, separator == std::string::npos ? std::string::npos : separator - start);
        if (name.empty())
            return std::nullopt;
        names.push_back(std::move(name));
        if (separator == std::string::npos)
            return names;
        start = separator + 1;
    }
}

std::string FoldRegistryName(const std::string& name) {
    // An initial byte order mark is a character of the name like any other;
    // dropping it would make two different names collide.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    if (decoder.hasError())
        return FoldAsciiLetters(name);
    return text.toCaseFolded().toStdString();
}
