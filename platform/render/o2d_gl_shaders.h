#pragma once
// The GLSL programs of the OpenGL device.
#include <epoxy/gl.h>

#include <compare>
#include <cstdint>
#include <string>

// What a scene program computes, reduced to what changes its result: per stage
// the colour and alpha operations (D3DTOP_*) with their arguments (D3DTA_*), and
// vertex fog. Each distinct key is its own short program without branches.
struct O2DSceneKey {
  struct Stage {
    uint8_t colorOp = 0, colorArg1 = 0, colorArg2 = 0, alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;
    auto operator<=>(const Stage&) const = default;
  };
  Stage stages[2];
  bool fog = false;
  auto operator<=>(const O2DSceneKey&) const = default;
};

// The stage states as the device holds them: op, arg1, arg2 for colour, then alpha.
struct O2DStageOps {
  uint32_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

// The key of two stages' states: unknown operations act as SELECTARG1, argument
// modifiers are ignored and unknown arguments read the current colour; what a
// disabled or single-argument operation does not read is left out, so states
// that draw alike share a program.
O2DSceneKey O2DMakeSceneKey(const O2DStageOps& stage0, const O2DStageOps& stage1, bool fog);

// The fragment shader of a key, straight-line code.
std::string O2DSceneFragmentSource(const O2DSceneKey& key);

// Draws the engine's screen-space quads through the emulated texture stages of
// `key`. Attributes 0..4: position (x, y, z, rhw), diffuse, specular, texture
// coordinates of stages 0 and 1. Uniforms: uTargetSize, uTexture0, uTexture1,
// uTextureFactor, uFogColor (those the key does not read are optimised out).
GLuint O2DBuildSceneProgram(const O2DSceneKey& key, std::string& error);

// Draws the offscreen frame over the current viewport through the gamma ramp.
// No attributes (four vertices as a strip). Uniforms: uFrame, uGamma (256 x 1).
GLuint O2DBuildPresentProgram(std::string& error);
