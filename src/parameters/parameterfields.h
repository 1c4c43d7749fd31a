#pragma once

#include <QString>

#include <array>

class Catalogue;
class Prompter;
struct ParameterSet;

// What the parameter window's fields hold, apart from the window. The
// window fills one from its controls for the checks that open a save, a
// write or a verification and for the take-over into the variables; the
// command-line tool fills one as the window would show a parameter set.
struct ParameterFields
{
    enum class DefaultBox { Unchecked, Grey, Checked };

    // The text fields of parameters 1..17, 19 and 20; [18] is the homing
    // text field (txtVsiyou).
    std::array<QString, 21> text;
    int type = -1;             // the selected type button 0..2, -1 none
    bool sensor = false;       // homing by sensor (optVertical(1)) selected
    QString size;              // the model lists as shown
    QString speed;
    QString stroke;
    DefaultBox defaultBox = DefaultBox::Checked;  // chkUseDefoult
    bool emgWayReset = false;  // optEmgWay(0) selected
    bool emgLogicB = false;    // optEmgLogic(0) selected
};

// The size as the model is built from it: a two-character size gains its
// leading blank.
QString ModelSize(const ParameterFields &f);

// 1 when a text field of parameters 1..17, 19, 20 or a model list is empty.
int Check_ParaDataUmu(const ParameterFields &f);

// The numbers of the parameters out of range, "n," each in ascending order
// (parameter 22 when the catalogue does not list the model); empty when all
// pass. currentType stands in when no type button is selected.
QString ParameterValueFailures(const ParameterFields &f, int currentType, Catalogue &catalogue);

// 1 when the type is KT new generation with size 42 or 20 and homing by
// pushing, which that actuator cannot do.
int Check_VType(const ParameterFields &f);

// The fields into the 24 variables; 1 (set unchanged) when a number does
// not fit its variable.
int TorikomiParaData(const ParameterFields &f, ParameterSet &set);

// The fields as the window shows the set: numbers in the text fields, the
// type, homing and model selected, the emergency-stop buttons when the
// details are shown and the default box is clear. JOG speeds above 30 are
// cut to 30 in the set, as the window does.
void ShowParameters(ParameterSet &set, bool detailShow, ParameterFields &f);

// The four checks that open every save, write and verification of the
// parameters: empty field (412/413), range (414 + list + 415 + 416), the
// homing question for a V-type model (Yes selects homing by sensor in f),
// and the take-over (417). 0 when all passed and the variables hold the
// fields; 1 after the message.
int RunParameterPreChecks(ParameterFields &f, ParameterSet &set, Catalogue &catalogue,
                          Prompter &prompter);
