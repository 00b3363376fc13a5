// Density altitude against published figures, and the readings it refuses.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "logbook/DensityAltitude.h"

namespace velkor::test {
namespace {

double feetOf(double tempF, double baroInHg, double humidityPct) {
    const DensityAltitude result = densityAltitude({tempF, baroInHg, humidityPct});
    EXPECT_TRUE(result.error.empty()) << result.error;
    return result.feet.value_or(std::nan(""));
}

// Each within 50 ft of its source; ours and the difference after each.
TEST(DensityAltitude, PublishedReferencePoints) {
    const struct {
        double tempF, baroInHg, humidityPct, feet;
    } points[] = {
        // U.S. Standard Atmosphere 1976 (NOAA, NASA, USAF; the same as ICAO's): dry air at the
        // table's pressure and temperature is at the table's altitude by definition.
        {59.0, 29.921, 0, 0},       // sea level: 0 ft
        {41.17, 24.896, 0, 5000},   // 5,000 ft: -0.05 ft
        {23.34, 20.577, 0, 10000},  // 10,000 ft: +0.08 ft
        // R. Shelquist's calculator's worked examples (wahiduddin.net, "An Introduction to Air
        // Density and Density Altitude Calculations"), given by altimeter setting and dew point.
        // Station pressure from the altimeter setting A by the NWS formula
        // P = (A^0.190263 - 1013.25^0.190263 * 0.0065 H / 288.15)^(1 / 0.190263) hPa, H the
        // geopotential elevation in m; humidity es(dew point) / es(air), Buck's es.
        // 5,050 ft, 95 F, A 29.45 inHg, dew point 67 F: 9,252 ft. Ours 9,248 (-4).
        {95, 24.445, 40.15, 9252},
        // 1,540 m, 35 C, A 997 hPa, dew point 19 C: 2,821 m. Ours 2,820.1 m (-3 ft).
        {95, 24.435, 39.05, 2821 / 0.3048},
        // The National Weather Service's calculator's published formula (T. Brice, T. Hall):
        // es = 6.11 * 10^(7.5 t / (237.7 + t)), Tv = T / (1 - 0.378 e / p),
        // DA = 145366 (1 - (17.326 P_inHg / Tv_R)^0.235), worked by hand. Its rounded
        // constants put it 12 to 19 ft above the standard atmosphere.
        {90, 29.00, 60, 3408},   // a humid night at a low track: ours 3,395 (-14)
        {20, 30.40, 80, -3193},  // a freezing morning, high barometer: ours -3,211 (-18)
        {75, 24.20, 35, 8226},   // a mountain track: ours 8,214 (-12)
    };
    for (const auto& p : points) {
        EXPECT_NEAR(feetOf(p.tempF, p.baroInHg, p.humidityPct), p.feet, 50) << p.feet;
    }
}

TEST(DensityAltitude, ImpossibleReadingsAreRefusedByName) {
    EXPECT_TRUE(densityAltitude({MinTempF, MinBaroInHg, MinHumidityPct}).feet);
    EXPECT_TRUE(densityAltitude({MaxTempF, MinBaroInHg, MaxHumidityPct}).feet);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        TrackWeather weather;
        const char* says;
    } cases[] = {
        {{70, 29.5, 100.5}, "the relative humidity must lie between 0 and 100 %, not 100.5 %"},
        {{70, 1013, 50}, "barometer"},  // hPa typed where inHg belong
        {{160.5, 29.5, 50}, "the air temperature must lie between -60 and 160 deg F"},
        {{nan, 29.5, 50}, "the air temperature is not a number"},
        {{70, std::numeric_limits<double>::infinity(), 50}, "the barometer is not a number"},
    };
    for (const auto& c : cases) {
        const DensityAltitude result = densityAltitude(c.weather);
        EXPECT_FALSE(result.feet);
        EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
    }
}

}  // namespace
}  // namespace velkor::test
