#include "Package.h"

#include "FileVersionStamp.h"
#include "StartUp.h"

VARINDEL_STAMP_FILE_VERSION(VARINDEL_VERSION);

bool VarindelPackageLoad()
{
    return LoadPackage();
}

void VarindelPackageUnload()
{
    UnloadPackage();
}
