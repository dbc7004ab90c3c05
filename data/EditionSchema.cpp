#include "EditionSchema.h"

QStringList EditionSchemaStatements()
{
    return {
        "CREATE TABLE FIRMS (ID INTEGER PRIMARY KEY, ParentID INTEGER, TypeID INTEGER, Name VARCHAR(200), "
        "Image BLOB, ImageName VARCHAR(4), Phones VARCHAR(80), Email VARCHAR(100), Web VARCHAR(150), "
        "Bus VARCHAR(20), MiniBus VARCHAR(20), Note TEXT, article BLOB, ShowAlways BOOLEAN, "
        "SelectedFont BOOLEAN, Place INTEGER)",
        "CREATE TABLE FirmsAdr (ID INTEGER PRIMARY KEY, Obj_ID INTEGER, Firm_ID INTEGER, Office VARCHAR(4), "
        "Phones VARCHAR(80), Bus VARCHAR(20), MiniBus VARCHAR(20), IsBanner BOOLEAN)",
        "CREATE TABLE FirmsFold (ID INTEGER PRIMARY KEY AUTOINCREMENT, FirmID INTEGER, FoldID INTEGER)",
        "CREATE TABLE Content (ID INTEGER, TypeID INTEGER, RefID INTEGER, Data BLOB)",
        "CREATE TABLE PostIdx (ID INTEGER PRIMARY KEY, PostIndex VARCHAR(6))",
        "CREATE TABLE PostIdxObj (ID INTEGER PRIMARY KEY AUTOINCREMENT, ObjID INTEGER, PostIdxID INTEGER)",
        "CREATE INDEX FirmsByType ON FIRMS (TypeID, ParentID)",
        "CREATE INDEX FirmsAdrByFirm ON FirmsAdr (Firm_ID)",
        "CREATE INDEX FirmsAdrByObject ON FirmsAdr (Obj_ID)",
        "CREATE INDEX FirmsFoldByFolder ON FirmsFold (FoldID)",
        "CREATE INDEX FirmsFoldByFirm ON FirmsFold (FirmID)",
        "CREATE INDEX PostIdxObjByObject ON PostIdxObj (ObjID)",
    };
}
