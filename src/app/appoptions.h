#pragma once

#include <cstdint>

// The options of this run that the Options dialog sets and the settings do
// not keep: whether the parameter details are shown and printed, and the
// current-down digit sent with the positions. One instance lives for the
// whole run and is handed by reference to the parts that read it (the
// parameter window, the position transfer, printing).
struct AppOptions
{
    // Show and print the parameter details (the parameter window's details
    // area and its "use default" box).
    bool mParaDetailShow = false;
    // The user overrides the current-down digit sent with the positions.
    bool mChangeBkCd = false;
    // 2 = current down is carried out, 0 = it is not.
    int16_t mCurrentDownNo = 2;

    // The digit the position records carry: mCurrentDownNo when the
    // override is on, otherwise 2.
    int CurrentDownDigit() const { return mChangeBkCd ? mCurrentDownNo : 2; }
};
