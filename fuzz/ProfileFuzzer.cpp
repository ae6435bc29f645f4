// A procedure profile is a file the lab edits by hand. The input is its text. It is read or
// refused with a line that is in the text, and a profile read is written back as a text that
// reads as the same profile.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "verify/Profile.h"

using vornex::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vornex::verify::ProfileRead read = vornex::verify::parseProfile(text);
    if (!read.profile) {
        const long lines = std::count(text.begin(), text.end(), '\n') + 1;
        check(!read.problem.text.empty(), "a refused profile says why");
        check(read.problem.line >= 0 && read.problem.line <= lines,
              "the line at fault is not in the text");
        return 0;
    }
    const vornex::verify::ProfileRead again =
        vornex::verify::parseProfile(vornex::verify::profileText(*read.profile));
    check(again.profile.has_value(), "a profile written back is refused");
    check(vornex::verify::profileText(*again.profile) == vornex::verify::profileText(*read.profile),
          "a profile written back reads as another");
    return 0;
}
