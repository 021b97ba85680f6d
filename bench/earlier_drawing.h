// The earlier drawing, kept to measure the renderer's against and to compare their pictures: a
// matrix and a display-list call for each sprite, a luminance texture, the veil as a blended quad in
// eye space, on the deepest depth buffer the driver offers. Not part of any program.
#pragma once

#include "renderer/draw/scene_drawing.h"
#include "renderer/win32/pixel_format.h"

// The earlier drawing as a drawing style: hand it to SceneDrawing::style.
extern const DrawingStyle EarlierDrawing;

// The earlier rule for pixel formats: the renderer's, with 2 points for every depth bit instead of
// a small cost.
int scoreEarlierPixelFormat(const PixelFormatCandidate& candidate);
