#pragma once
// The two GLSL programs of the OpenGL device.
#include <epoxy/gl.h>

#include <string>

// Draws the engine's screen-space quads through the two emulated texture stages
// and vertex fog. Attributes 0..4: position (x, y, z, rhw), diffuse, specular,
// texture coordinates of stages 0 and 1. Uniforms: uTargetSize, uTexture0,
// uTexture1, uColorOps[2] and uAlphaOps[2] (operation, argument 1, argument 2),
// uTextureFactor, uFogEnable, uFogColor.
GLuint O2DBuildSceneProgram(std::string& error);

// Draws the offscreen frame over the current viewport through the gamma ramp.
// No attributes (four vertices as a strip). Uniforms: uFrame, uGamma (256 x 1).
GLuint O2DBuildPresentProgram(std::string& error);
