// Small worlds for the search, building, bookmark and diary tests: map
// objects with addresses, and an edition with firms in those buildings,
// opened by a data module of the test's own.
#pragma once

#include "Datamodule.h"
#include "MapEngine.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <stdexcept>
#include <vector>

inline TPMXMapObjectMem addressedObject(std::int32_t id, const QString& street, const QString& house,
                                        std::int32_t type = otBuilding) {
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = type;
    object.X = static_cast<float>(id * 10);
    object.Y = static_cast<float>(id * 5);
    object.HasAddress = true;
    object.Street = street;
    object.House = house;
    const float h = 4;
    object.Geometry = {{object.X - h, object.Y - h},
                       {object.X + h, object.Y - h},
                       {object.X + h, object.Y + h},
                       {object.X - h, object.Y + h}};
    return object;
}

inline TPMXMapObjectMem unaddressedObject(std::int32_t id, std::int32_t type = otRoad) {
    TPMXMapObjectMem object = addressedObject(id, "Мира", "1", type);
    object.HasAddress = false;
    return object;
}

inline MapModel modelOf(const std::vector<TPMXMapObjectMem>& objects) {
    MapModel model;
    for (const TPMXMapObjectMem& object : objects)
        model.append(object);
    return model;
}

// An edition sealed into a temporary folder and opened by `dm`.
class EditionWorld {
public:
    EditionWorld() : edition(folder.file("plain.sqlite")) {}

    void open() {
        edition.sealAs(folder.file(MapFiles[2]), 2);
        const Status opened = dm.OpenEdition(2);
        if (!opened)
            throw std::runtime_error(opened.error().toStdString());
    }

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
    TinyEdition edition;
    TDM dm;
};

inline QStringList columnOf(TQuery& query, const QString& field) {
    QStringList values;
    if (!query.Active())
        return values;
    for (query.First(); !query.Eof(); query.Next())
        values << query.FieldByName(field).AsString();
    return values;
}
