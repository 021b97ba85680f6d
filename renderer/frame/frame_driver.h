// The frame driver's own animations: the camera dolly and the slow spin of the whole scene.
#pragma once

struct Scene;

// Moves the camera along its eased leg and starts a new leg at the end of one.
void advanceCameraDolly(Scene& scene, float dt);
// Glides the spin toward its target, turns the orientation by one frame's spin, rewrites sceneRotation.
void advanceSpin(Scene& scene, float dt);
