// The host asks glibc to back its heap with transparent huge pages. A large
// city's map is a million small objects, and with 4 KiB pages loading it
// took some 150,000 page faults, which cost more than the loading itself on
// a virtual machine. glibc reads that wish (a tunable) only when a process
// starts, so the host starts itself again once with it set.
#pragma once

#include <optional>
#include <string>

// The GLIBC_TUNABLES value that adds the huge-page heap to `current` (the
// variable's value, or null when unset); nothing when `current` already
// says how the heap is to be paged.
std::optional<std::string> TunablesWithHugePageHeap(const char* current);

// Whether the kernel gives huge pages to memory that asks for them: its
// transparent_hugepage "enabled" text has "[madvise]" chosen. With
// "[always]" the heap gets them anyway, and with "[never]" not at all.
bool HugePagesOnRequest(const std::string& enabledText);

// Starts the running program again with the huge-page heap when the kernel
// would give it and the heap does not have it yet; returns only when no new
// start was needed or it failed, and the program goes on as it is.
void RestartWithHugePageHeap(char* argv[]);
