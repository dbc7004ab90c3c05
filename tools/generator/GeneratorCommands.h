// generate and objects: the demo edition commands of varindel-edition.
#pragma once

#include "ToolCommand.h"

std::vector<ToolCommand> GeneratorCommands();
