// Demo editions for the benchmarks: generated once into /tmp by the edition
// tool built next to the benchmark, or named by an environment variable.
#pragma once

#include <QString>

// The file of `edition` generated at `scale`, or the file that the
// environment variable `overrideVariable` names. Throws when the tool fails.
QString DemoEdition(int edition, int scale, const char* overrideVariable);
