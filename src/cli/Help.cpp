#include "cli/Help.h"

#include <map>

namespace velkor::cli {

namespace {

const char* const CommonOptions = R"(
Options for every command:
  --set KEY=VALUE   use VALUE for the stored preference KEY in this run only, e.g.
                    --set VSSUnits=KPH (may be given more than once); a value the
                    options dialogs would refuse is refused, naming the values allowed
  -h, --help        show this help

Exit status: 0 success, 1 bad usage, a logbook entry refused or an erase not confirmed,
2 link or controller fault, 3 file fault (also a file with no sample line, or with a number
no log can hold; nothing is written then; or a logbook that cannot be opened), 130
interrupted (Ctrl-C); 143 and 129 stopped by SIGTERM and SIGHUP, which stop a command as
Ctrl-C does. Control characters of a file's texts show as '?'.
)";

const std::map<std::string, std::string>& helps() {
    static const std::map<std::string, std::string> texts = {
        {"ports", R"(Usage: velkor-cli ports

Lists the ports Com1 to Com255 with the device each means on this computer, marking those that
are present. A link ~/.config/Velkor/ports/comN chooses the device of port N.
)"},
        {"download",
         R"(Usage: velkor-cli download [--port P] -o FILE.log [--comment TEXT] [--clear-after]

Downloads the controller's log and saves it as a log file, replacing FILE.log only by a whole
new file. P is a port name (Com3) or a device path (/dev/ttyUSB0). A progress bar shows on a
terminal, progress lines otherwise; Ctrl-C stops the download, closes the port and writes
nothing. FILE.log is checked before the controller is read: a missing or unwritable folder, a
folder or a write-protected file ends the command at once (status 3).

  --port P          the controller's port (default: the one chosen under Port Setup)
  -o FILE.log       the log file to write
  --comment TEXT    the comment saved with the log
  --clear-after     erase the controller's log once the file is written, synced, read back
                    and found equal to what was downloaded, and a second read of the
                    controller's memory (about 8 s) agrees with the first byte for byte;
                    otherwise the file is kept and the controller is left as it was
)"},
        {"clear", R"(Usage: velkor-cli clear [--port P] [--yes]

Erases the log the controller keeps, after asking
"All data logged by controller will be lost. Proceed? [y/N]". Without a terminal to ask on,
it refuses unless --yes is given.

  --port P          the controller's port, Com3 or a device path (default: the one chosen
                    under Port Setup)
  --yes             erase without asking
)"},
        {"live", R"(Usage: velkor-cli live [--port P] [--csv OUT] [--count N]

Reads the controller every 500 ms and prints one line per refresh with what the live view's
dials, gauges, lamps and status line show, until Ctrl-C or N refreshes.

  --port P          the controller's port, Com3 or a device path (default: the one chosen
                    under Port Setup)
  --csv OUT         also record each refresh with its time stamp as CSV (- for standard
                    output, which then carries the CSV alone); OUT is checked before the
                    port is opened, and an earlier OUT stays until the first line is ready
  --count N         stop after N refreshes
)"},
        {"info", R"(Usage: velkor-cli info FILE.log [--json]

Shows a log file's firmware ID, controller type, download date, sample interval, duration and
comment, and every message reading it gives.

  --json            the same as one JSON object
)"},
        {"export",
         R"(Usage: velkor-cli export FILE.log (--csv OUT | --png OUT | --svg OUT | --pdf OUT)
                  [--trace1 NAME] [--trace2 NAME] [--from S] [--to S] [--size WxH]

Writes the log's data as CSV (as the chart's Export Data), the chart as a PNG picture or SVG
drawing with two traces over a time span, or the printed page as PDF. OUT is replaced only by a
whole new file; - writes to standard output.

  --csv OUT         the samples as comma-separated values
  --png OUT         the chart as a PNG picture
  --svg OUT         the chart as an SVG drawing
  --pdf OUT         the page Print makes, as PDF
  --trace1 NAME     trace 1: RPM, VSS, TPS, "BATTERY VOLTS", "INPUT 1 VOLTS", "INPUT 1 AFR"
                    or "INPUT 1 MAP" (any letter case; default RPM)
  --trace2 NAME     trace 2: VSS, TPS, RPM, ARM, "SHIFT LIGHT", ALARM, GPI, GPO,
                    "INPUT 2 VOLTS", "INPUT 2 AFR" or "INPUT 2 SCALED ANALOG" (default VSS)
  --from S, --to S  the time span in seconds (default the whole log): every output holds
                    the samples whose times lie from S to S, both included; a --from not
                    before --to, or a span with no sample in it, is refused
  --size WxH        the chart's size in pixels (default 1000x600)
)"},
        {"analyze", R"(Usage: velkor-cli analyze FILE.log [--json]

The run analysis of the log: each run, its estimated time slip, each upshift, the wheelspin
and where to shift, as tables that fit 80 columns (a wide table is cut into parts, each
repeating the run number), in the speed unit of the preferences.

  --json            the analysis as one JSON object for scripts, the same whatever the
                    display units. Keys are snake_case with the unit in the name; a value
                    that does not exist is null; times are the log's seconds, except in a
                    time slip, which counts from first motion:
    schema "velkor-analysis/2", interval_s, runs, shifts, gears, shift_points
    runs[]: run, start_s, first_motion_s, length_s, standing_start, zero_to_30_mph_s,
      zero_to_60_mph_s, sixty_to_100_mph_s, zero_to_100_kph_s, peak_rpm, peak_mph, wot_s,
      shift_count, mean_reaction_s, best_reaction_s, launch_slip_s,
      wheelspin[]: start_s, end_s, peak_excess_mph
      time_slip (null for a rolling start): ft60_s, ft330_s, ft660_s, ft1000_s, ft1320_s,
        trap_660_mph, trap_1320_mph, uncertainty_s
    shifts[]: run, time_s, gear_from, gear_to, rpm_at_shift, rpm_after, drop_pct, mph,
      light_on_s, reaction_s, note
    gears[]: gear, rpm_per_mph
    shift_points[]: gear_from, best_rpm, shifted_rpm, note
)"},
        {"logbook", R"(Usage: velkor-cli logbook scan [FOLDER|FILE.log...]
       velkor-cli logbook list [--json] [--track T] [--car C] [--since YYYY-MM-DD] [--find TEXT]
       velkor-cli logbook note PASS [--text T] [--track T] [--car C] [--temp-f F]
                               [--baro-inhg B] [--humidity PCT]
       velkor-cli logbook stats [--json] [--track T] [--car C] [--last N]
       velkor-cli logbook predict --temp-f F --baro-inhg B --humidity PCT [--car C] [--json]

The logbook of every pass, the same as the windows' (~/.local/share/Velkor/logbook.sqlite and
its journal logbook-journal.txt, which keeps every entry made).

  scan              remember each FOLDER or FILE.log given, then read every new or changed
                    log file of the download archive and the remembered folders and files;
                    prints one summary line, and each file that could not be read on
                    standard error (that is no failure: the status stays 0); a FOLDER
                    or FILE.log that does not exist is status 3
  list              the passes, oldest first, as a table (--json: {"format":
                    "velkor-logbook/1", "passes": [...]}, each pass with pass_id, file, run,
                    download_date, track, car, note, temp_f, baro_inhg, humidity_pct,
                    density_altitude_ft, ft60_s, ft330_s, ft660_s, ft1000_s, ft1320_s,
                    trap_1320_mph, zero_to_60_mph_s, best_reaction_s, peak_rpm; null where
                    unknown)
    --track T, --car C   only passes at this track, with this car (any letter case)
    --since YYYY-MM-DD   only passes downloaded on or after this day
    --find TEXT          only passes with TEXT in the note, track, car or file name
  note PASS         change the entry of pass number PASS (from list): only the fields given,
                    an empty value clearing one; a value the Logbook window would refuse
                    changes nothing (status 1). Prints the pass afterwards.
    --text T, --track T, --car C   the note, the track, the car
    --temp-f F, --baro-inhg B, --humidity PCT   the weather: air temperature (deg F, -60
                    to 160), station pressure (inHg, 15 to 35), relative humidity (0 to 100)
  stats             count, mean, standard deviation, min and max of ET, 60 ft, trap speed
                    and best reaction (--json: passes, ft1320_s, ft60_s, trap_1320_mph,
                    best_reaction_s, each with count, mean, sd, min, max)
    --last N        only the last N of the chosen passes
  predict           the dial-in for today's weather from the car's passes with weather (all
                    passes without --car); with fewer than 3 such passes it says why there is
                    none, and the status stays 0 (--json: density_altitude_ft,
                    predicted_ft1320_s, standard_error_s, passes, slope_s_per_1000ft, note;
                    null where there is no prediction). Impossible weather is status 1.
A logbook that cannot be opened is status 3.
)"},
    };
    return texts;
}

}  // namespace

std::string programHelp() {
    return std::string(R"(Usage: velkor-cli COMMAND [OPTIONS]

Downloads, erases and watches a shift-light controller's log over its serial cable, and shows,
exports and analyses saved log files, from a terminal.

Commands:
  ports             list Com1 to Com255 and the device each means here
  download          download the controller's log into a log file
  clear             erase the log the controller keeps
  live              show the controller's readings every 500 ms
  info FILE.log     show what a log file holds
  export FILE.log   write a log file's data as CSV, or its chart as PNG, SVG or PDF
  analyze FILE.log  the runs, time slips, shifts and wheelspin in a log
  logbook SUB       the logbook of passes: scan, list, note, stats, predict

"velkor-cli COMMAND --help" shows a command's options; "velkor-cli --version" the release.
)") + CommonOptions;
}

std::string commandHelp(const std::string& command) {
    const auto found = helps().find(command);
    return found == helps().end() ? std::string() : found->second + CommonOptions;
}

}  // namespace velkor::cli
