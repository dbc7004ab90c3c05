// The import command of varindel-edition: an edition of a real city from an
// OpenStreetMap extract and the publisher's own firm list.
#pragma once

#include "ToolCommand.h"

std::vector<ToolCommand> ImportCommands();
