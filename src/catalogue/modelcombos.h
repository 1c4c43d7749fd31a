#pragma once

#include "catalogue/modelbrowser.h"

#include <array>

class QComboBox;

// The three model lists of a window (size, speed, stroke), shown from and
// read back into ModelLists: the device selection dialog and the parameter
// window show the same lists the same way.
using ModelCombos = std::array<QComboBox *, 3>;

void ShowModelLists(const ModelCombos &combos, const ModelLists &lists);
ModelLists ShownModelLists(const ModelCombos &combos);
