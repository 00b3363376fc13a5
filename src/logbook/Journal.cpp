#include "logbook/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "base/AppError.h"
#include "logbook/DensityAltitude.h"

namespace velkor {
namespace {

constexpr std::size_t TrackLimit = 200;  // characters, for the track and the car
constexpr std::size_t NoteLimit = 2000;

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The fields of a line, their escapes undone; nothing for an escape no writer makes.
std::optional<std::vector<std::string>> fieldsOf(std::string_view line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else if (++i < line.size()) {
            const char e = line[i];
            if (e == 't' || e == 'n' || e == 'r' || e == '\\') {
                fields.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : '\\';
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return fields;
}

std::string numberText(const std::optional<double>& value) {
    if (!value) {
        return "";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", *value);
    return text;
}

// A reading's field: empty for none; nothing (the line is bad) for text that is no number.
std::optional<std::optional<double>> numberField(const std::string& text) {
    if (text.empty()) {
        return std::optional<double>();
    }
    if (text.size() > 40 || std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return std::optional<double>(value);
}

std::optional<int> runField(const std::string& text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    int run = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        run = run * 10 + (c - '0');
    }
    return run >= 1 && run <= MaxRunNumber ? std::optional(run) : std::nullopt;
}

std::size_t characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

bool hasControl(std::string_view text, bool note) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 || byte == 0x7f) && !(note && (c == '\t' || c == '\n'))) {
            return true;
        }
    }
    return false;
}

std::string rangeProblem(const char* what, const std::optional<double>& value, double min,
                         double max, const char* unit) {
    if (!value || (std::isfinite(*value) && *value >= min && *value <= max)) {
        return "";
    }
    char text[160];
    std::snprintf(text, sizeof text, "The %s must lie between %g and %g %s.", what, min, max, unit);
    return text;
}

// A file descriptor that closes itself.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

}  // namespace

bool isContentHash(std::string_view text) {
    if (text.size() != 64) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

std::string entryProblem(const LogbookEntry& entry) {
    if (characters(entry.track) > TrackLimit || characters(entry.car) > TrackLimit) {
        return "The track and the car may each have at most " + std::to_string(TrackLimit) +
               " characters.";
    }
    if (characters(entry.note) > NoteLimit) {
        return "The note may have at most " + std::to_string(NoteLimit) + " characters.";
    }
    if (hasControl(entry.track, false) || hasControl(entry.car, false)) {
        return "The track and the car must be one line of text without control characters.";
    }
    if (hasControl(entry.note, true)) {
        return "The note may hold tabs and line ends but no other control characters.";
    }
    for (const std::string& problem :
         {rangeProblem("air temperature", entry.tempF, MinTempF, MaxTempF, "deg F"),
          rangeProblem("barometer", entry.baroInHg, MinBaroInHg, MaxBaroInHg, "inHg"),
          rangeProblem("humidity", entry.humidityPct, MinHumidityPct, MaxHumidityPct, "%")}) {
        if (!problem.empty()) {
            return problem;
        }
    }
    return "";
}

std::string journalLine(const JournalRecord& record) {
    switch (record.kind) {
        case JournalRecord::Kind::Entry: {
            const LogbookEntry& e = record.entry;
            return "entry\t" + record.hash + "\t" + std::to_string(record.run) + "\t" +
                   escaped(e.track) + "\t" + escaped(e.car) + "\t" + escaped(e.note) + "\t" +
                   numberText(e.tempF) + "\t" + numberText(e.baroInHg) + "\t" +
                   numberText(e.humidityPct);
        }
        case JournalRecord::Kind::Reference:
            return record.hash.empty()
                       ? std::string("reference\t-")
                       : "reference\t" + record.hash + "\t" + std::to_string(record.run);
        case JournalRecord::Kind::Folder:
            return "folder\t" + escaped(record.path);
        case JournalRecord::Kind::File:
            return "file\t" + escaped(record.path);
    }
    return "";
}

std::optional<JournalRecord> parseJournalLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const auto fields = fieldsOf(line);
    if (!fields) {
        return std::nullopt;
    }
    const std::vector<std::string>& f = *fields;
    JournalRecord record;
    if (f[0] == "entry" && f.size() == 9 && isContentHash(f[1])) {
        const auto run = runField(f[2]);
        const auto temp = numberField(f[6]);
        const auto baro = numberField(f[7]);
        const auto humidity = numberField(f[8]);
        if (!run || !temp || !baro || !humidity) {
            return std::nullopt;
        }
        record.hash = f[1];
        record.run = *run;
        record.entry = {f[3], f[4], f[5], *temp, *baro, *humidity};
        if (!entryProblem(record.entry).empty()) {
            return std::nullopt;
        }
        return record;
    }
    if (f[0] == "reference" && f.size() == 2 && f[1] == "-") {
        record.kind = JournalRecord::Kind::Reference;
        return record;
    }
    if (f[0] == "reference" && f.size() == 3 && isContentHash(f[1])) {
        const auto run = runField(f[2]);
        if (!run) {
            return std::nullopt;
        }
        record.kind = JournalRecord::Kind::Reference;
        record.hash = f[1];
        record.run = *run;
        return record;
    }
    if ((f[0] == "folder" || f[0] == "file") && f.size() == 2 && !f[1].empty() &&
        f[1].find('\0') == std::string::npos && f[1].size() <= 4096) {
        record.kind = f[0] == "folder" ? JournalRecord::Kind::Folder : JournalRecord::Kind::File;
        record.path = f[1];
        return record;
    }
    return std::nullopt;
}

JournalContents readJournal(const std::string& path) {
    JournalContents contents;
    std::ifstream in(path, std::ios::binary);
    bool first = true;
    for (std::string line; std::getline(in, line);) {
        const bool header = first && line.rfind(JournalHeader, 0) == 0 &&
                            line.size() <= std::strlen(JournalHeader) + 1;
        first = false;
        if (header || line.empty()) {
            continue;
        }
        if (auto record = parseJournalLine(line)) {
            contents.records.push_back(std::move(*record));
        } else {
            ++contents.skipped;
        }
    }
    return contents;
}

void appendJournal(const std::string& path, const std::vector<JournalRecord>& records) {
    std::string text;
    for (const JournalRecord& record : records) {
        text += journalLine(record) + "\n";
    }
    const auto failed = [&](const char* doing) {
        return AppError(ErrorNumber::PathFileAccess, "Logbook",
                        "The logbook journal " + path + " could not be " + doing + ": " +
                            std::strerror(errno) + ". The entry was not kept.");
    };
    Descriptor file{::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600)};
    if (file.fd < 0) {
        throw failed("opened");
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        throw failed("read");
    }
    char last = '\n';
    if (status.st_size == 0) {
        text = std::string(JournalHeader) + "\n" + text;
    } else if (::pread(file.fd, &last, 1, status.st_size - 1) == 1 && last != '\n') {
        text = "\n" + text;  // a line cut short by a crash stays a line of its own
    }
    if (!writeAll(file.fd, text) || ::fsync(file.fd) != 0) {
        throw failed("written");
    }
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) {
        throw failed("written");
    }
}

}  // namespace velkor
