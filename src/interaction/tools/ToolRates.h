#pragma once

// Turning rates of the camera tools, radians per unit of movement amount.
namespace tool_rates {

constexpr double kRadiansPerDegree = 0.017453292519943295;

constexpr float kYaw = static_cast<float>(kRadiansPerDegree * 4.0);
constexpr float kPitch = static_cast<float>(kRadiansPerDegree * 4.0);
constexpr float kRoll = static_cast<float>(kRadiansPerDegree * 3.5);
constexpr float kOrbitYaw = static_cast<float>(kRadiansPerDegree * 6.0);
constexpr float kOrbitPitch = static_cast<float>(kRadiansPerDegree * 5.0);

}  // namespace tool_rates
