// The directory's category tree of the demo editions: realistic Russian
// business categories on three levels ("Авто" > "Автосервисы" >
// "Шиномонтаж"), with the word a firm of a category is called by.
#pragma once

#include <QString>

#include <vector>

struct CategoryNode {
    int id = 0;
    int parentId = 0; // 0 for the top level
    int level = 0;    // 0 top, 1 middle, 2 leaf
    QString name;
    // What one firm of the category is called ("Шиномонтаж", "Аптека");
    // empty when firms go by their legal form alone.
    QString firmWord;
};

// The whole tree, parents before their children, ids 1, 2, 3 ... in that order.
std::vector<CategoryNode> BuildCategoryTree();
