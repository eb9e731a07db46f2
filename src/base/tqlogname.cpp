#include "base/tqlogname.h"

#include <cstring>

#include "platform/codepage/tqcodepage.h"

namespace {

const size_t kLongestWhole = 160;
const size_t kHeadBytes = 96;
const size_t kTailBytes = 48;

} // namespace

std::string TQLogShortName(const char* name) {
    const size_t length = name ? std::strlen(name) : 0;
    if (length <= kLongestWhole)
        return std::string(name ? name : "", length);
    const size_t head = tqplat::GbkWholeCharsPrefix(name, length, kHeadBytes);
    const size_t tail =
        head + tqplat::GbkWholeCharsPrefix(name + head, length - head, length - head - kTailBytes);
    return std::string(name, head) + "...(" + std::to_string(length) + " bytes)..." +
           std::string(name + tail);
}

std::string TQLogShortSystemPath(const std::string& utf8Path) {
    return TQLogShortName(tqplat::Utf8ToGbk(utf8Path).c_str());
}

std::string TQLogPackNameRefusal(const std::string& utf8Path) {
    return "a name read from a pack reaches only the packs and the game's folders, not " +
           TQLogShortSystemPath(utf8Path);
}
