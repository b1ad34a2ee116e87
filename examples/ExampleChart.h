#pragma once

#include "model/Triode.h"

// What the shipped example chart was drawn from. The chart generator renders its curves
// with these numbers and the chart test checks the picture against them again.
namespace valvix::example {

// The model the printed curves follow: a 12AX7-like triode.
inline constexpr TriodeParameters kTrueParameters{100.0f, 1.4f, 1060.0f, 600.0f, 300.0f};

// The parameters saved in the example design: near enough that the computed curves
// start out close to the printed ones, far enough that they still need fitting.
inline constexpr TriodeParameters kSavedParameters{90.0f, 1.3f, 1200.0f, 500.0f, 300.0f};

// The chart's scales and its family of curves.
inline constexpr float kVoltsFullscale = 300.0f;
inline constexpr float kAmpsFullscale = 0.004f;
inline constexpr float kGridMostPos = 0.0f;
inline constexpr float kGridMostNeg = -4.0f;
inline constexpr float kGridStep = 0.5f;

// The picture, in pixels.
inline constexpr int kPictureWidth = 400;
inline constexpr int kPictureHeight = 300;

} // namespace valvix::example
