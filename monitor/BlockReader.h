#pragma once

// Sends the next function 3 request of the pass and moves on; switches Timer1 on while
// requests are left or cyclic reading is on, off when a single pass is complete.
void readNext();

// Read once: one pass over StartReg..EndReg, cyclic reading off.
void readOnce();

// Read cyclic: on, from StartReg, with the message pane silent; off lets the pass end.
void switchCyclicReading();
