// Which file holds the keys of a registry root, and the handles that
// connecting to a machine's registry gives out.
#pragma once

#include "Minireg.h"

#include <optional>
#include <string>

// The file of one root's store and who may read it.
struct RegistryStoreLocation {
    std::string file;
    bool privateToUser = false; // the per-user store is readable by its owner only
};

// The store behind a predefined root or a handle from OpenRegistryConnection;
// nothing for any other handle, or when no home folder is known.
std::optional<RegistryStoreLocation> LocateRegistryStore(HKEY root);

// True for an empty name and for the name of this host (optionally written
// with the leading "\\" of a network name), compared without regard to case.
bool IsLocalMachineName(const std::string& machineName);

// A fresh handle that stands for the predefined root HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE until it is closed; nothing for any other root.
std::optional<HKEY> OpenRegistryConnection(HKEY predefinedRoot);

// Forgets a handle from OpenRegistryConnection; false for any other value.
bool CloseRegistryConnection(HKEY handle);
