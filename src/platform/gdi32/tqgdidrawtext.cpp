#include "platform/gdi32/tqgdidrawtext.h"

#include <cstdint>
#include <vector>

namespace tqplat {
namespace {

struct LineSpan {
    const char* text;
    size_t length;
};

// Lines end at "\r\n", "\n" or "\r" (GBK trail bytes are never line breaks).
std::vector<LineSpan> SplitLines(const char* text, size_t length) {
    std::vector<LineSpan> lines;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(LineSpan{text + start, i - start});
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(LineSpan{text + start, length - start});
    return lines;
}

long long LineLeft(const RECT& rect, int width, UINT format) {
    if (format & DT_CENTER)
        return rect.left + (static_cast<long long>(rect.right) - rect.left - width) / 2;
    if (format & DT_RIGHT)
        return static_cast<long long>(rect.right) - width;
    return rect.left;
}

// Vertical centring and bottom alignment apply to a single line only.
long long FirstLineTop(const RECT& rect, int lineHeight, UINT format) {
    if (!(format & DT_SINGLELINE))
        return rect.top;
    if (format & DT_VCENTER)
        return rect.top + (static_cast<long long>(rect.bottom) - rect.top - lineHeight) / 2;
    if (format & DT_BOTTOM)
        return static_cast<long long>(rect.bottom) - lineHeight;
    return rect.top;
}

bool FitsInt(long long value) {
    return value >= INT32_MIN && value <= INT32_MAX;
}

} // namespace

int DrawTextInRect(GdiDC& dc, const char* text, size_t length, const RECT& rect, UINT format) {
    if (length == 0)
        return 0;
    std::vector<LineSpan> lines =
        (format & DT_SINGLELINE) ? std::vector<LineSpan>{LineSpan{text, length}} : SplitLines(text, length);
    int lineHeight = dc.Metrics().tmHeight;
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : &rect;
    long long top = FirstLineTop(rect, lineHeight, format);
    long long y = top;
    for (const LineSpan& line : lines) {
        int width = dc.TextExtent(line.text, line.length).cx;
        long long x = LineLeft(rect, width, format);
        if (FitsInt(x) && FitsInt(y))
            dc.TextOut(static_cast<int>(x), static_cast<int>(y), 0, nullptr, line.text, line.length, clip);
        y += lineHeight;
    }
    bool aligned = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
    long long result = aligned ? y - rect.top : y - top;
    return static_cast<int>(result);
}

} // namespace tqplat
