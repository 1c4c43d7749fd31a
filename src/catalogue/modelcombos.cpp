#include "catalogue/modelcombos.h"

#include <QComboBox>

namespace {

// The items, and the text shown: an item when the list holds it, else the
// text as it is (the lists are editable).
void setItems(QComboBox *combo, const QStringList &items, const QString &text)
{
    combo->clear();
    combo->addItems(items);
    const int index = combo->findText(text, Qt::MatchExactly);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else
        combo->setCurrentText(text);
}

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

} // namespace

void ShowModelLists(const ModelCombos &combos, const ModelLists &lists)
{
    setItems(combos[0], lists.sizes, lists.size);
    setItems(combos[1], lists.speeds, lists.speed);
    setItems(combos[2], lists.strokes, lists.stroke);
}

ModelLists ShownModelLists(const ModelCombos &combos)
{
    ModelLists lists;
    lists.sizes = itemsOf(combos[0]);
    lists.speeds = itemsOf(combos[1]);
    lists.strokes = itemsOf(combos[2]);
    lists.size = combos[0]->currentText();
    lists.speed = combos[1]->currentText();
    lists.stroke = combos[2]->currentText();
    return lists;
}
