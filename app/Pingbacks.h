// The service learns of each start and end of the program.
#pragma once

void SendStartPingback();
void SendClosePingback();
