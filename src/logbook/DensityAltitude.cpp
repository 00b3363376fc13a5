#include "logbook/DensityAltitude.h"

#include <cmath>

#include "base/Numbers.h"

namespace velkor {

namespace {

// The International Standard Atmosphere at sea level and in its troposphere.
constexpr double SeaLevelKelvin = 288.15;
constexpr double SeaLevelInHg = 29.92126;  // 1013.25 hPa
constexpr double LapseKelvinPerMetre = 0.0065;
constexpr double StandardGravity = 9.80665;      // m/s^2
constexpr double DryAirGasConstant = 287.05287;  // J/(kg K)
constexpr double MetresPerFoot = 0.3048;
constexpr double HpaPerInHg = 33.8639;
// The exponent of density in the troposphere's height: L R / (g - L R), 0.234969.
constexpr double DensityExponent = LapseKelvinPerMetre * DryAirGasConstant /
                                   (StandardGravity - LapseKelvinPerMetre * DryAirGasConstant);
// The height at which the standard troposphere's temperature would reach absolute zero,
// 145442.16 ft: the scale of its height against density.
constexpr double TroposphereScaleFeet = SeaLevelKelvin / LapseKelvinPerMetre / MetresPerFoot;
// Water vapour's molar mass over dry air's.
constexpr double VapourMassRatio = 0.622;

constexpr double KelvinAtZeroCelsius = 273.15;

double celsiusFromFahrenheit(double tempF) {
    return (tempF - 32) * 5 / 9;
}

// Why a reading is impossible, or nothing when it lies within [low, high].
std::optional<std::string> outOfRange(const char* what, double value, double low, double high,
                                      const char* unit) {
    if (!std::isfinite(value)) {
        return std::string("the ") + what + " is not a number";
    }
    if (value < low || value > high) {
        return std::string("the ") + what + " must lie between " + formatNumber(low, "####0") +
               " and " + formatNumber(high, "####0") + unit + ", not " +
               formatNumber(value, "####0.0##") + unit;
    }
    return std::nullopt;
}

}  // namespace

double saturationVapourPressureHpa(double tempC) {
    return 6.1121 * std::exp((18.678 - tempC / 234.5) * (tempC / (257.14 + tempC)));
}

DensityAltitude densityAltitude(const TrackWeather& weather) {
    for (const std::optional<std::string>& fault :
         {outOfRange("air temperature", weather.tempF, MinTempF, MaxTempF, " deg F"),
          outOfRange("barometer", weather.baroInHg, MinBaroInHg, MaxBaroInHg, " inHg"),
          outOfRange("relative humidity", weather.humidityPct, MinHumidityPct, MaxHumidityPct,
                     " %")}) {
        if (fault) {
            return {std::nullopt, *fault};
        }
    }
    const double tempC = celsiusFromFahrenheit(weather.tempF);
    const double vapourHpa = weather.humidityPct / 100 * saturationVapourPressureHpa(tempC);
    const double stationHpa = weather.baroInHg * HpaPerInHg;
    const double virtualKelvin =
        (tempC + KelvinAtZeroCelsius) / (1 - vapourHpa / stationHpa * (1 - VapourMassRatio));
    const double relativeDensity =
        weather.baroInHg / SeaLevelInHg * (SeaLevelKelvin / virtualKelvin);
    return {TroposphereScaleFeet * (1 - std::pow(relativeDensity, DensityExponent)), {}};
}

}  // namespace velkor
