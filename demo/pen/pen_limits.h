#pragma once

// The pen figures' limits, fixed for the run: they size every node ring and
// the tanks of the figure actors.
namespace pen_limits {

// Segments an actor keeps.
inline constexpr float kLines = 4000.0f;
// Sizes the anchors: an actor's first anchor tank and the ring's movers.
inline constexpr float kMoverScale = 20.0f;
// Corners an actor keeps: two and a half per segment.
inline constexpr float kPoints = kLines * 2.5f;

}  // namespace pen_limits
