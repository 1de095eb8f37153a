#include "ListSelection.h"

#include <QItemSelectionModel>
#include <algorithm>
#include <vector>

namespace ListSelection {

// Ranges may overlap, so a single selected row is told by the lowest top meeting the highest
// bottom rather than by counting.
Summary summarise(const QItemSelectionModel* model)
{
    const QItemSelection selection = model->selection();
    int first = -1;
    int last = -1;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid())
            continue;
        first = first < 0 ? range.top() : std::min(first, range.top());
        last = std::max(last, range.bottom());
    }
    return {first, first >= 0 && first == last};
}

QList<int> rows(const QItemSelectionModel* model, int rowCount)
{
    std::vector<bool> selected(static_cast<std::size_t>(std::max(rowCount, 0)), false);
    const QItemSelection selection = model->selection();
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), 0);
        const int bottom = std::min(range.bottom(), rowCount - 1);
        for (int row = top; row <= bottom; ++row)
            selected[static_cast<std::size_t>(row)] = true;
    }
    QList<int> result;
    for (int row = 0; row < rowCount; ++row) {
        if (selected[static_cast<std::size_t>(row)])
            result.append(row);
    }
    return result;
}

} // namespace ListSelection
