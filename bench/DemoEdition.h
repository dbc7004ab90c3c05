// Demo editions for the benchmarks: generated once into /tmp by the edition
// tool built next to the benchmark, or named by an environment variable.
#pragma once

#include <QString>

class MapEngine;
class TDM;

// The file of `edition` generated at `scale` (with `firms` firms; 0: as many
// as the scale gives), or the file that the environment variable
// `overrideVariable` names. Throws when the tool fails.
QString DemoEdition(int edition, int scale, const char* overrideVariable, int firms = 0);

// Opens edition 2 from `path` as the program does, from the edition's own
// folder, and loads its map. Throws when either fails.
void OpenEditionWithMap(const QString& path, TDM& dm, MapEngine& map);
