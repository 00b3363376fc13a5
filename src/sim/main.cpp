// velkor-sim: the shift-light controller on a pseudo-terminal. Prints the terminal's path and
// answers the program until SIGINT or SIGTERM.

#include <pthread.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "VelkorVersion.h"
#include "sim/DragRun.h"
#include "sim/Simulator.h"

namespace {

using velkor::sim::Config;
using velkor::sim::Wheelspin;

const char* const Usage = R"(Usage: velkor-sim [options]
Plays the shift-light controller on a pseudo-terminal and prints the terminal's path.

  --link PATH               also make a symbolic link to the terminal at PATH
  --fram FILE               the FRAM image to serve (32768 bytes); otherwise a generated drive
  --ring-start N            ring start of the generated drive (368..32756, default 368)
  --seed N                  seed of the generated drive (default 1)
  --drive NAME              the generated drive: "road" (default) or "drag", a standing
                            quarter mile with known shift and reaction times
  --wheelspin WHERE         with --drive drag, where the tyres spin: "none" (default), "launch",
                            "shift" (after the 1-2 shift) or "both"
  --save-fram FILE          also write the served FRAM image to FILE; with --drive drag the
                            run's truth (shifts, reaction times, 0-60, time slip, spins, best
                            shift points) goes beside it as JSON, in FILE with the ending .json
  --firmware TEXT           firmware ID text (default "Shift Light Controller V2.0")
  --state N                 controller state: 0 off, 1 powered, 2 armed (default 1)
  --interval-byte N         EEPROM logging interval in 16 ms steps (default 6)
  --tps-min N               EEPROM raw throttle count for 0 % (default 26)
  --tps-max N               EEPROM raw throttle count for 100 % (default 230)
  --paced                   true line timing: 10 bits a byte at 56000 bit/s
  --latency-ms X            milliseconds between a command and its reply
  --log FILE                append every received byte with its time to FILE
Faults:
  --silent                  answer nothing
  --wrong-ack               answer SetAddress, ReSync and the erase with 0x15
  --stop-after-blocks N     stop answering FRAM block reads after N blocks
  --half-reply              send only the first byte of two-byte replies
  --erase-delay SECONDS     wait this long before acknowledging the erase
  --resync-ignored N        leave the first N ReSync commands unanswered
  --stray-bytes N           send N extra bytes after every reply
  --refuse-address N        answer SetAddress to address N with 0x15 (19: the logging
                            interval, 21: the throttle scale factors)
  --noise N                 damage about one reply byte in N on the line: it arrives as 0, as
                            a serial port hands over a byte with a framing error
  --help                    show this text
  --version                 show the version
)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

long long wholeNumber(const std::string& option, const std::string& text, long long low,
                      long long high) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high) {
        throw UsageError(option + " needs a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
    }
    return value;
}

double amount(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0) || value > 3600.0) {
        throw UsageError(option + " needs a number from 0 to 3600, not '" + text + "'");
    }
    return value;
}

velkor::sim::Fram readFram(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw UsageError("cannot read the FRAM image " + path);
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                  std::istreambuf_iterator<char>()};
    if (bytes.size() != velkor::sim::FramBytes) {
        throw UsageError(path + " holds " + std::to_string(bytes.size()) + " bytes, not " +
                         std::to_string(velkor::sim::FramBytes));
    }
    velkor::sim::Fram fram{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        fram[i] = static_cast<std::uint8_t>(bytes[i]);
    }
    return fram;
}

void writeFile(const std::string& path, const char* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(data, static_cast<std::streamsize>(size));
    if (!file.flush()) {
        throw UsageError("cannot write " + path);
    }
}

Wheelspin wheelspin(const std::string& where) {
    if (where == "none") {
        return Wheelspin::None;
    }
    if (where == "launch") {
        return Wheelspin::Launch;
    }
    if (where == "shift") {
        return Wheelspin::AfterShift;
    }
    if (where == "both") {
        return Wheelspin::Both;
    }
    throw UsageError("--wheelspin is none, launch, shift or both, not '" + where + "'");
}

enum class Answer { Run, Help, Version };

// Reads the command line into a configuration; throws UsageError for anything it cannot use.
Config parse(const std::vector<std::string>& args, Answer& answer) {
    Config config;
    std::string framPath;
    long long ringStart = -1;
    unsigned seed = 1;
    int interval = 6;
    int tpsMin = 26;
    int tpsMax = 230;
    std::string drive = "road";
    std::optional<velkor::sim::Wheelspin> spin;
    std::string savePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = option.find('=');
            option.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
            hasValue = true;
        }
        const auto next = [&]() -> std::string {
            if (hasValue) {
                return value;
            }
            if (i + 1 >= args.size()) {
                throw UsageError(option + " needs a value");
            }
            return args[++i];
        };
        const auto number = [&](long long low, long long high) {
            return wholeNumber(option, next(), low, high);
        };
        auto& faults = config.faults;
        if (option == "--help" || option == "-h") {
            answer = Answer::Help;
        } else if (option == "--version") {
            answer = Answer::Version;
        } else if (option == "--link") {
            config.linkPath = next();
        } else if (option == "--fram") {
            framPath = next();
        } else if (option == "--ring-start") {
            ringStart = number(368, 32756);
        } else if (option == "--seed") {
            seed = static_cast<unsigned>(number(0, 4294967295LL));
        } else if (option == "--drive") {
            drive = next();
            if (drive != "road" && drive != "drag") {
                throw UsageError("--drive is road or drag, not '" + drive + "'");
            }
        } else if (option == "--wheelspin") {
            spin = wheelspin(next());
        } else if (option == "--save-fram") {
            savePath = next();
        } else if (option == "--firmware") {
            config.firmwareId = next();
        } else if (option == "--state") {
            config.state = static_cast<std::uint8_t>(number(0, 255));
        } else if (option == "--interval-byte") {
            interval = static_cast<int>(number(0, 255));
        } else if (option == "--tps-min") {
            tpsMin = static_cast<int>(number(0, 255));
        } else if (option == "--tps-max") {
            tpsMax = static_cast<int>(number(0, 255));
        } else if (option == "--paced") {
            config.paced = true;
        } else if (option == "--latency-ms") {
            faults.replyLatency = amount(option, next()) / 1000.0;
        } else if (option == "--log") {
            config.logPath = next();
        } else if (option == "--silent") {
            faults.silent = true;
        } else if (option == "--wrong-ack") {
            faults.wrongAck = true;
        } else if (option == "--stop-after-blocks") {
            faults.stopAfterBlocks = static_cast<int>(number(0, 1000000));
        } else if (option == "--half-reply") {
            faults.halfReply = true;
        } else if (option == "--erase-delay") {
            faults.eraseAckDelay = amount(option, next());
        } else if (option == "--resync-ignored") {
            faults.resyncIgnored = static_cast<int>(number(0, 1000000));
        } else if (option == "--stray-bytes") {
            faults.strayBytes = static_cast<int>(number(0, 4096));
        } else if (option == "--refuse-address") {
            faults.refusedAddress = static_cast<int>(number(0, 65535));
        } else if (option == "--noise") {
            faults.noiseOneIn = static_cast<int>(number(0, 1000000));
        } else {
            throw UsageError("unknown option " + option);
        }
        if (hasValue && (option == "--paced" || option == "--silent" || option == "--wrong-ack" ||
                         option == "--half-reply" || option == "--help" || option == "--version")) {
            throw UsageError(option + " takes no value");
        }
    }
    if (spin && drive != "drag") {
        throw UsageError("--wheelspin is for --drive drag");
    }
    std::string truth;
    if (!framPath.empty()) {
        if (ringStart >= 0 || drive != "road") {
            throw UsageError("--ring-start and --drive are for a generated drive, not with --fram");
        }
        config.fram = readFram(framPath);
    } else {
        const int start = ringStart < 0 ? 368 : static_cast<int>(ringStart);
        try {
            if (drive == "drag") {
                if (interval == 0) {
                    throw UsageError("--drive drag needs an --interval-byte above 0");
                }
                auto run = velkor::sim::generateDragRun(0.016 * interval, start, seed,
                                                        spin.value_or(Wheelspin::None));
                config.fram = run.fram;
                truth = velkor::sim::truthJson(run.truth);
            } else {
                config.fram = velkor::sim::generateDrive(start, seed);
            }
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string("--ring-start: ") + e.what());
        }
    }
    if (!savePath.empty()) {
        writeFile(savePath, reinterpret_cast<const char*>(config.fram.data()), config.fram.size());
        if (!truth.empty()) {
            writeFile(std::filesystem::path(savePath).replace_extension(".json").string(),
                      truth.data(), truth.size());
        }
    }
    config.eeprom = velkor::sim::makeEeprom(static_cast<std::uint8_t>(interval),
                                            static_cast<std::uint8_t>(tpsMin),
                                            static_cast<std::uint8_t>(tpsMax));
    return config;
}

}  // namespace

int main(int argc, char* argv[]) {
    Config config;
    try {
        Answer answer = Answer::Run;
        config = parse(std::vector<std::string>(argv + 1, argv + argc), answer);
        if (answer == Answer::Help) {
            std::cout << Usage;
            return 0;
        }
        if (answer == Answer::Version) {
            std::cout << "velkor-sim " << velkor::VersionText << '\n';
            return 0;
        }
    } catch (const UsageError& e) {
        std::cerr << "velkor-sim: " << e.what() << "\nTry velkor-sim --help.\n";
        return 2;
    }

    // The signals are taken with sigwait below, so every thread blocks them from here on.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        velkor::sim::Simulator simulator(std::move(config));
        std::cout << simulator.devicePath() << std::endl;
        simulator.start();
        int received = 0;
        sigwait(&signals, &received);
        simulator.stop();
    } catch (const std::exception& e) {
        std::cerr << "velkor-sim: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
