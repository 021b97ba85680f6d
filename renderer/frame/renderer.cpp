// The renderer's scene lifecycle and its frame tick.
#include "renderer/frame/renderer.h"

// The scene's generator is seeded first, as every draw it makes follows from the seed.
bool setUpScene(Renderer& renderer, HWND window, uint32_t seed) {
    seedScene(renderer.scene, seed);
    if (!setUpWglSurface(renderer.surface, window)) return false;
    createSceneObjects(renderer.scene);
    return true;
}

void tearDownScene(Renderer& renderer, HWND window) {
    destroySceneObjects(renderer.scene);
    tearDownWglSurface(renderer.surface, window);
}

// The clock runs even while no frame may be drawn.
void frameTick(Renderer& renderer) {
    renderer.clock.tick(timeGetTime());
    if (renderer.sceneReady && !renderer.passwordDialogOpen) {
        renderFrame(renderer.scene, renderer.clock.dt, renderer.surface.twoPassSwap, renderer.surface);
    }
}
