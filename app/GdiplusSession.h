#pragma once

// Starts GDI+ once for the whole process. It is never shut down: pictures may still be
// composed on other threads while the process ends.
void StartGdiplusForProcess();
