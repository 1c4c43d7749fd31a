#pragma once

#include <QString>

#include <span>

// The editing rules of the parameter window's text fields, one row a field:
// the longest text a key may make (0: no key rules), the field the Enter key
// moves to, and the range a value the user typed must lie in when the field
// is left (the checks before a save or write are those of ParameterInfo,
// and they are wider).
struct ParamFieldRule
{
    int number;             // parameter number; 18 is the text beside the homing method
    const char *name;       // the field's object name
    int fullLength;         // 0: no key rules
    const char *next;       // object name of the field Enter moves to; null: none
    bool leaveChecked;      // a value the user typed is checked on leaving
    int leaveMin;
    int leaveMax;

    // The value of a field's text as the window takes it (leading number,
    // halves to even; empty text is 0) lies in the leave range.
    bool acceptsOnLeave(const QString &text) const;
};

std::span<const ParamFieldRule> ParamFieldRules();

// The rule of parameter n; null when the parameter has no text field.
const ParamFieldRule *ParamFieldRuleOf(int number);
