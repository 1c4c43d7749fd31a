#pragma once

#include "catalogue/devicechoice.h"

class Catalogue;
class Prompter;
struct AppState;

// Makes a chosen model the model in use, once the catalogue lists it with a
// usable lead and pulse count: family, generation, size, speed, stroke,
// lead, pulses, mounting and V-type, and the catalogue tables of the new
// family. When the catalogue does not list it, the user is told ("Type not
// selected." and the hint) and nothing changes: a failed check never leaves
// half a model behind. 0 when the model was taken, 1 when not.
//
// Storing the model and redrawing what depends on it are the caller's.
int AdoptDeviceChoice(AppState &state, Catalogue &catalogue, Prompter &prompter,
                      const DeviceChoice &choice);

// "Type not selected." with the hint to select one.
void TellTypeNotSelected(Prompter &prompter);
