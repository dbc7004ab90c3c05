// The program's two folders and its version text.
#pragma once

#include "Result.h"

#include <string>

inline constexpr const char* kCompanyFolder = "Varindel TLX Company/";

// The common application data folder + "Varindel TLX Company/". The program
// only reads from it and never creates it.
std::string MakeLocalPath();

// A temporary folder that only this user can enter: $XDG_RUNTIME_DIR when
// the session has one; otherwise "varindel-<uid>" in the system's temporary
// folder, made (or found) owned by the user, no link, mode 0700. A shared
// /tmp must not let another user see or replace the files the program
// extracts there; when that name is taken by someone else, the user's cache
// folder. With a trailing "/".
Result<std::string> PerUserTempFolder();
// PerUserTempFolder() + "Varindel TLX Company/", created with its parents.
Result<std::string> MakeTempPath();
