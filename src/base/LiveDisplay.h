#pragma once
// What the live view sets inside the frame "Real Time Data": the gauges' members, the lamps'
// fill colours and the status line. The frame's own visibility is MainView's.

#include <cstdint>
#include <string>

namespace velkor {

// The linear gauges, by their names on the main window.
enum class GaugeId {
    gauTPSPercent,
    gauTPSVolts,
    gauBatVolts,
    gauInput1Analog,
    gauInput1AFR,
    gauMAP,
    gauInput2Analog,
    gauInput2AFR,
};
constexpr int GaugeCount = 8;

// The two dials.
enum class DialId { gauTach, gauSpeedometer };
constexpr int DialCount = 2;

// The lamps: the two inputs, then the six outputs.
enum class LampId {
    shpLED_ArmIn,
    shpLED_GPI,
    shpLED_Shift,
    shpLED_Launch,
    shpLED_AlarmVSS,
    shpLED_Alarm1,
    shpLED_Alarm2,
    shpLED_GPO,
};
constexpr int LampCount = 8;

// Members of a linear gauge, numbered as the program addresses them.
enum class GaugeMember {
    ScaleMinimum = 10,
    ScaleMaximum = 11,
    BandStart = 57,  // start of the first colour band
    BandEnd = 56,    // end of the first colour band
    FirstLabel = 72,
    LastLabel = 73,
    LabelStep = 62,  // 0 is allowed
    Value = 51,
    ScaleIndex = 43,  // the scale section the value is drawn against (0 or 1)
    Member38 = 38,    // written 0 on the ratio and pressure gauges when the link is lost
    Member55 = 55,    // 55, 3 and 64 are written 0 when the pressure gauge is laid out
    Member3 = 3,
    Member64 = 64,
};

// Members of a dial.
enum class DialMember {
    Value = 43,
    Redline = 33,
    FullScale = 37,
    TextSelector = 30,  // which text item the caption writes: 1 units, 2 title, 3 read-out
};

// Colours as the window system stores them: red in the low byte, blue in the third.
using Colour = std::int32_t;
constexpr Colour ColourBlack = 0;
constexpr Colour ColourRed = 255;
constexpr Colour ColourGreen = 65280;
constexpr Colour ColourBlue = 16711680;
constexpr Colour LampLit = ColourRed;
constexpr Colour LampDark = ColourBlack;

const char* gaugeName(GaugeId gauge);
const char* dialName(DialId dial);
const char* lampName(LampId lamp);

class LiveDisplay {
public:
    virtual ~LiveDisplay() = default;

    virtual void showGauge(GaugeId gauge, bool shown) = 0;
    // Every write takes effect at once. Members the gauge draws nothing from are accepted.
    virtual void setGaugeMember(GaugeId gauge, GaugeMember member, double value) = 0;
    virtual void setDialMember(DialId dial, DialMember member, double value) = 0;
    // Writes the text item that the dial's text selector names.
    virtual void setDialCaption(DialId dial, const std::string& text) = 0;
    virtual void setLampColour(LampId lamp, Colour colour) = 0;
    // lblStatus; lines are separated by CR LF.
    virtual void setStatusText(const std::string& text) = 0;

    // A polling tick writes its readings one after another between these two calls. Every write
    // still takes effect at once; a display may draw the changes together when the tick ends.
    virtual void beginRefresh() {}
    virtual void endRefresh() {}
};

}  // namespace velkor
