#pragma once
// Density altitude: the height in the standard atmosphere at which the air is as thin as the air
// at the track. An engine's power and so a car's elapsed time follow the air's density, and
// density altitude is how racers and the track's weather station speak of it.
//
// From the air temperature, the uncorrected barometer and the relative humidity:
//  1. Saturation vapour pressure over water at the air temperature t (deg C), by Buck's equation
//     (A. L. Buck, "New equations for computing vapor pressure and enhancement factor",
//     J. Appl. Meteor. 1981, with the 1996 constants):
//         es = 6.1121 exp((18.678 - t / 234.5) * t / (257.14 + t))   hPa
//  2. Vapour pressure e = RH / 100 * es. Relative humidity is taken over water at any
//     temperature, as weather stations report it.
//  3. Virtual temperature, the temperature at which dry air at the same pressure would be as
//     dense as the moist air (T in kelvin, p the station pressure in hPa, 0.622 the ratio of
//     water vapour's molar mass to dry air's):
//         Tv = T / (1 - (e / p) * (1 - 0.622))
//  4. The air's density relative to the standard sea-level day (29.92 inHg, 59 deg F), and the
//     altitude of the International Standard Atmosphere's troposphere with that density:
//         sigma = (p / 29.92126 inHg) * (518.67 deg R / Tv)
//         DA = 145442.16 ft * (1 - sigma ^ 0.234969)
//     145442.16 ft is the standard sea-level temperature over the lapse rate (288.15 K /
//     6.5 K/km) and 0.234969 is L R / (g - L R) for dry air (ICAO Doc 7488, the US Standard
//     Atmosphere 1976).
// This is the method of the National Weather Service's density altitude calculator, which
// writes step 4 with rounded constants as DA = 145366 (1 - (17.326 P_inHg / Tv_R)^0.235) and uses
// the Magnus (Tetens) form es = 6.11 * 10^(7.5 t / (237.7 + t)); the two agree within about
// 20 ft over the conditions a track sees. The pressure is the station pressure: what a barometer
// at the track reads, not the altimeter setting or the sea-level pressure of a weather report.

#include <optional>
#include <string>

namespace velkor {

// The weather a pass was run in.
struct TrackWeather {
    double tempF = 59;        // air temperature, deg F
    double baroInHg = 29.92;  // station pressure, inHg
    double humidityPct = 0;   // relative humidity, %
};

// Readings outside these are typing errors or a broken sensor, not weather: the barometer at
// any track from below sea level to the highest mountain pass, air from a polar night to a
// desert's noon.
constexpr double MinBaroInHg = 15;
constexpr double MaxBaroInHg = 35;
constexpr double MinTempF = -60;
constexpr double MaxTempF = 160;
constexpr double MinHumidityPct = 0;
constexpr double MaxHumidityPct = 100;

// A density altitude in feet, or why there is none: `error` says which reading is impossible.
struct DensityAltitude {
    std::optional<double> feet;
    std::string error;  // empty when there are feet
};

DensityAltitude densityAltitude(const TrackWeather& weather);

// Buck's saturation vapour pressure over water, hPa, at an air temperature in deg C.
double saturationVapourPressureHpa(double tempC);

}  // namespace velkor
