#pragma once

// Waits the given milliseconds (shortened by the test time scale) while the
// user interface keeps processing its events.
void WaitMsec(int milliseconds);
