#pragma once

// Writes (quoted program path + " autostart") into the user's Run key under the program's
// base name, or removes it. False whenever the change could not be made.
bool SetAutostart(bool enable);
