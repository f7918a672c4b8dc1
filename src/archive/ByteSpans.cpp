#include "ByteSpans.h"

#include <algorithm>

namespace ByteSpans {

std::vector<Span> merge(std::vector<Span> wanted, std::uint64_t gap, std::uint64_t maxRead)
{
    std::sort(wanted.begin(), wanted.end(), [](const Span& a, const Span& b) { return a.offset < b.offset; });
    std::vector<Span> reads;
    for (const Span& s : wanted) {
        if (s.length == 0)
            continue;
        if (!reads.empty()) {
            Span& last = reads.back();
            const std::uint64_t lastEnd = last.offset + last.length, end = s.offset + s.length;
            if (s.offset <= lastEnd + gap && std::max(end, lastEnd) - last.offset <= maxRead) {
                last.length = std::max(end, lastEnd) - last.offset;
                continue;
            }
            if (end <= lastEnd)
                continue; // inside a long span read alone
        }
        reads.push_back(s);
    }
    return reads;
}

} // namespace ByteSpans
