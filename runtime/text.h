#pragma once

// The design's texts, UTF-8 in the program, as the toolkit's strings.

#include <QString>

#include <string_view>

namespace runtime {

inline QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace runtime
