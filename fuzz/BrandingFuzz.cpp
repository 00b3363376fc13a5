// Any bytes at all, read as the branding file would be, then used as the splash window and the
// About box use it: nothing may crash, overrun or leak, and the only exception is the AppError
// the splash window reports for an entry it cannot use.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "about/BrandingFile.h"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "branding reader left %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velkor;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const BrandingRead read = parseBranding(text);
    const Branding& branding = read.branding;
    require(!read.error || branding.InfoLines.empty(), "an error beside information lines");

    const std::string about = aboutText(branding);
    require(about.rfind(makerName(branding), 0) == 0, "an About text not headed by the maker");
    try {
        const LabelStyle style = companyLabelStyle(branding);
        require(style.pointSize > 0 && style.pointSize <= 200, "an unusable font size");
    } catch (const AppError&) {
    }
    try {
        if (const auto logo = logoFileName(branding)) {
            require(*logo == branding.InfoStyles.at(4), "a logo name not from entry 5");
        }
    } catch (const AppError&) {
    }
    return 0;
}
