#include "Package.h"

#include "FileVersionStamp.h"

VARINDEL_STAMP_FILE_VERSION(VARINDEL_VERSION);

bool VarindelPackageLoad()
{
    return false;
}

void VarindelPackageUnload() {}
