// Feeds arbitrary bytes to the mail configuration reader, as text and as the
// file it is read from: whatever comes in, it must give an account or a
// message naming the line, never crash; and an account it gives must carry
// nothing into the commands and headers of the mail that could start a
// command or a header of its own.
#include "MailAccount.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string configPath()
{
    static const std::string path = "/dev/shm/varindel-mail-fuzz-" + std::to_string(getpid()) + ".conf";
    return path;
}

bool isPlain(const std::string& value, const char* alsoRefused)
{
    for (const char c : value) {
        const auto code = static_cast<unsigned char>(c);
        if (code <= 0x20 || code >= 0x7F || std::string(alsoRefused).find(c) != std::string::npos)
            return false;
    }
    return true;
}

bool sameAccount(const TMailAccount& a, const TMailAccount& b)
{
    return a.Server == b.Server && a.Port == b.Port && a.User == b.User && a.Password == b.Password &&
           a.Sender == b.Sender && a.Support == b.Support && a.Developer == b.Developer && a.CaFile == b.CaFile;
}

void writeConfig(const std::string& text)
{
    FILE* file = std::fopen(configPath().c_str(), "wb");
    if (!file)
        std::abort();
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size())
        std::abort();
    // The data reaches the file only when it is closed: a failure here would leave a short input.
    if (std::fclose(file) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv(kMailConfigVariable, configPath().c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Result<TMailAccount> parsed = ParseMailConfig(text, DefaultMailAccount());
    writeConfig(text);
    const Result<TMailAccount> loaded = LoadMailAccount();
    if (parsed.ok() != loaded.ok() || parsed.error() != loaded.error())
        __builtin_trap();
    if (!parsed.ok()) {
        if (parsed.error().isEmpty())
            __builtin_trap();
        return 0;
    }
    const TMailAccount& account = parsed.value();
    if (!sameAccount(account, loaded.value()))
        __builtin_trap();
    if (!isPlain(account.Server, "") || !isPlain(account.User, "") || !isPlain(account.Sender, "<>,;\"") ||
        !isPlain(account.Support, "<>,;\"") || !isPlain(account.Developer, "<>,;\""))
        __builtin_trap();
    if (account.Port < 1 || account.Port > 65535)
        __builtin_trap();
    return 0;
}
