#pragma once

#include <QList>

class QItemSelectionModel;

// Reads a list's selection range by range. Asking each item whether it is selected walks every
// range of the selection once per item, which takes seconds on a long list with every other
// song selected; these walk the ranges once.
namespace ListSelection {

struct Summary {
    int first = -1;      // the first selected row, or -1 when nothing is selected
    bool single = false; // exactly one row is selected
};

[[nodiscard]] Summary summarise(const QItemSelectionModel* model);

// The selected rows in ascending order, each once.
[[nodiscard]] QList<int> rows(const QItemSelectionModel* model, int rowCount);

} // namespace ListSelection
