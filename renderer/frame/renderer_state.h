// Process-wide flags of the renderer that the frame tick reads (0 or 1).
#pragma once

// 1 from the end of the scene set-up until the window starts being destroyed.
extern int sceneReady;
// 1 while the system's password dialog is on screen; no frame is drawn then.
extern int passwordDialogOpen;
