#pragma once
// The polling tick of the live view: the nine reads in their order, each shown as it arrives.

#include "live/LiveReadings.h"

namespace velkor {

class ControllerLink;
class LiveDisplay;

// The 500 ms tick of tmrDataRead. Does nothing unless a live view runs. Reads the state,
// throttle, battery, engine speed, road speed, both analog inputs, the input bits and the output
// bits, with a continue check after each (Esc or Close end the tick there). A state read that
// fails shows the lost-link display and ends the live view, without a message of its own.
// A tick that finds another controller operation (or an earlier tick) still running is skipped,
// so two series of reads never interleave on the port. A menu choice that ends the live view,
// made during a tick, ends the tick at its next check and then runs
// (ControllerLink::runEndingLiveView).
void tmrDataRead_Timer(ControllerLink& link);

// Lost link: the status line empties, the gauges drop to rest (the ratio gauges at 15, the
// middle of their range), the GPI lamp shows red and the other lamps go dark.
void showLostLink(LiveDisplay& display);

}  // namespace velkor
