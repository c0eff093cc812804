#pragma once
#include <cstdint>

// The brightness block of the pylon.
struct BrightnessSettings {
    uint8_t Left = 100;   // left side correction, percent
    uint8_t Right = 100;  // right side correction, percent
    uint8_t Sensor = 80;  // brightness without the light sensor, percent
    uint8_t Gamma = 22;   // gamma times ten

    bool operator==(const BrightnessSettings&) const = default;
};
