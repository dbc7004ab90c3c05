#include "SearchFields.h"

#include "StreetCombo.h"
#include "TOrvEdit.h"

#include <QComboBox>

void SetSearchPlaceholders(const TSearchFields& fields) {
    fields.edName->setShadowText("Название организации");
    fields.edHouse->setShadowText("Дом");
    fields.edPhone->setShadowText("Телефон");
    fields.edPostIndex->setShadowText("Индекс");
    fields.edWeb->setShadowText("Электронный адрес");
    fields.edEmail->setShadowText("Электронная почта");
}

void SetHouseSearchPlaceholders(TOrvEdit& edfhHouse, TOrvEdit& edfhPostIndex) {
    edfhHouse.setShadowText("Дом");
    edfhPostIndex.setShadowText("Индекс");
}

std::optional<QString> CriterionOf(const TOrvEdit& edit) {
    if (!edit.Needed())
        return std::nullopt;
    return edit.text();
}

AddressCriterion AddressCriterionOf(const QComboBox& street, const TOrvEdit& house) {
    const QString streetText = street.currentText();
    return {StreetGiven(streetText) ? streetText : QString(), CriterionOf(house)};
}

SearchCriteria SearchCriteriaOf(const TSearchFields& fields) {
    return {.Name = CriterionOf(*fields.edName),
            .Phone = CriterionOf(*fields.edPhone),
            .Web = CriterionOf(*fields.edWeb),
            .Email = CriterionOf(*fields.edEmail),
            .PostIndex = CriterionOf(*fields.edPostIndex),
            .Address = AddressCriterionOf(*fields.cbStreet, *fields.edHouse)};
}
