// Per-test worlds: a temporary folder of the test's own, and registry stores
// inside it so that no test touches the real per-user or machine files.
#pragma once

#include <QTemporaryDir>

#include <string>

class TemporaryFolder {
public:
    TemporaryFolder();
    std::string path() const;                        // without a closing "/"
    std::string file(const std::string& name) const; // path + "/" + name

private:
    QTemporaryDir dir_;
};

// Points both registry stores at files of a fresh temporary folder for the
// lifetime of the object, and restores the previous settings afterwards.
class IsolatedRegistry {
public:
    IsolatedRegistry();
    ~IsolatedRegistry();
    IsolatedRegistry(const IsolatedRegistry&) = delete;
    IsolatedRegistry& operator=(const IsolatedRegistry&) = delete;

    std::string userStore() const { return folder_.file("user.reg.sqlite"); }
    std::string machineStore() const { return folder_.file("machine.reg.sqlite"); }

private:
    TemporaryFolder folder_;
    QByteArray oldUser_;
    QByteArray oldMachine_;
};
