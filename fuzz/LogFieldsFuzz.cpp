// Any bytes at all, as one line of a log file and as a text written into one: splitting must
// neither crash, overrun nor throw, must keep what it promises to keep, and every text must read
// back from its quoted field as it was written (a line break as a space).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "log/LogFields.h"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "log fields: %s\n", what);
        std::abort();
    }
}

std::string withLineBreaksAsSpaces(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        out += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
        i += crLf ? 1 : 0;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velkor;
    if (size == 0) {
        return 0;
    }
    const std::size_t keep = data[0] % 13;
    const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
    static LineFields fields;  // reused, as the reader reuses it from line to line

    splitFields(line, keep, fields);
    require(fields.count >= 1, "a line without a field");
    require(fields.count <= line.size() + 1, "more fields than commas");
    require(fields.fields.size() == std::min(keep, fields.count), "the wrong number kept");

    const std::string written = quotedField(line);
    splitFields(written, 1, fields);
    require(fields.count == 1, "a quoted text read back as more than one field");
    require(fields.fields.size() == 1, "the quoted text not kept");
    require(fields.fields.front() == withLineBreaksAsSpaces(line),
            "a quoted text that reads back changed");
    return 0;
}
