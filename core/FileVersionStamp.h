// Stamps a file version into a library or executable, where GetFileVersion
// finds it again: an ELF section of its own holding "FileVersion=" + text.
#pragma once

inline constexpr const char* kFileVersionSection = ".varindel_version";
inline constexpr const char* kFileVersionKey = "FileVersion=";

#define VARINDEL_STAMP_FILE_VERSION(text)                                                                   \
    extern "C" __attribute__((section(".varindel_version"), used)) const char varindel_file_version[] =     \
        "FileVersion=" text
