// seal, check, unseal and sql: the edition file commands of varindel-edition.
#pragma once

#include "ToolCommand.h"

std::vector<ToolCommand> EditionCommands();
