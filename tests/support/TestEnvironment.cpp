#include "TestEnvironment.h"

#include "Minireg.h"

#include <stdexcept>

TemporaryFolder::TemporaryFolder()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

std::string TemporaryFolder::path() const
{
    return dir_.path().toStdString();
}

std::string TemporaryFolder::file(const std::string& name) const
{
    return path() + "/" + name;
}

IsolatedRegistry::IsolatedRegistry()
    : oldUser_(qgetenv(kUserRegistryEnv)), oldMachine_(qgetenv(kMachineRegistryEnv))
{
    qputenv(kUserRegistryEnv, QByteArray::fromStdString(userStore()));
    qputenv(kMachineRegistryEnv, QByteArray::fromStdString(machineStore()));
}

IsolatedRegistry::~IsolatedRegistry()
{
    auto restore = [](const char* name, const QByteArray& old) {
        if (old.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, old);
    };
    restore(kUserRegistryEnv, oldUser_);
    restore(kMachineRegistryEnv, oldMachine_);
}
