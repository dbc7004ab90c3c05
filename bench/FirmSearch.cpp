#include "FirmSearch.h"

int SearchAndReadFirms(TDM& dm, const MapEngine& map, AddressIndex& index, const SearchCriteria& criteria) {
    RunFirmsFind(dm.qFirmsFind, criteria, map, index);
    int rows = 0;
    for (; !dm.qFirmsFind.Eof(); dm.qFirmsFind.Next())
        rows += dm.qFirmsFind.FieldByName("ID").AsInteger() > 0;
    return rows;
}
