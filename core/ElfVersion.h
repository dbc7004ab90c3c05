// Reads the file version that the build stamps into a library or executable
// (see FileVersionStamp.h) straight from the ELF file, without loading it.
#pragma once

#include <string>

// The text after "FileVersion=" in the stamp section, or an empty text for a
// file that is no little-endian ELF file, has no stamp, or is damaged.
std::string ReadElfFileVersion(const std::string& fileName);
