// The two angle constants every projection and the Carter conversion use, as these exact
// double values (not the doubles nearest to pi/180 and 180/pi).
#pragma once

namespace lantrel::detail {

/// Degrees to radians: two units in the last place below the double nearest to pi/180.
inline constexpr double kDegToRad = 0.01745329251994329;
/// Radians to degrees: the double-precision reciprocal of kDegToRad.
inline constexpr double kRadToDeg = 57.295779513082344;

}  // namespace lantrel::detail
