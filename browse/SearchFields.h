// The fields of the two search pages as criteria: a field counts only while
// it holds something the user typed, never its grey placeholder.
#pragma once

#include "SearchQuery.h"

class QComboBox;
class TOrvEdit;

// The search page's fields, created by the main window.
struct TSearchFields {
    TOrvEdit* edName = nullptr;
    QComboBox* cbStreet = nullptr;
    TOrvEdit* edHouse = nullptr;
    TOrvEdit* edPhone = nullptr;
    TOrvEdit* edPostIndex = nullptr;
    TOrvEdit* edWeb = nullptr;
    TOrvEdit* edEmail = nullptr;
};

// Gives each edit of the page its placeholder ("Название организации", "Дом",
// "Телефон", "Индекс", "Электронный адрес", "Электронная почта").
void SetSearchPlaceholders(const TSearchFields& fields);
// The house search page's house edit gets "Дом", its post index edit "Индекс".
void SetHouseSearchPlaceholders(TOrvEdit& edfhHouse, TOrvEdit& edfhPostIndex);

// The text of an edit that holds a criterion; none otherwise.
std::optional<QString> CriterionOf(const TOrvEdit& edit);
AddressCriterion AddressCriterionOf(const QComboBox& street, const TOrvEdit& house);
SearchCriteria SearchCriteriaOf(const TSearchFields& fields);
