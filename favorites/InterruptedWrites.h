// What a process of this program ended in the middle of a write (a power cut, a killed task)
// leaves behind, put right by the next running instance before it writes anything itself.
#pragma once

// Once per process; later calls do nothing. Removes the temporaries of saves cut short on the
// desktop and in the icon folder, and finishes a rename cut short: a shortcut still under its
// first name while its row already names the new one.
void PutRightInterruptedWrites();
