// The OpenGL object names the drawing builds once and uses every frame.
#pragma once

// Texture object of the glow spot.
constexpr unsigned GlowTextureName = 1;
// Display list of the textured unit square that every sprite scales and places.
constexpr unsigned SpriteQuadListName = 1;
