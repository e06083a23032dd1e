#pragma once

// The renders of the pictures made when the program is built: a 24-byte
// header (the tag "CFP1", then as 32-bit little-endian numbers the width and
// height in pixels, the view box width and height in twips and the device
// pixel ratio) followed by the pixels, premultiplied ARGB, 32 bits each,
// little-endian, row by row. Written by the build's renderer, read in place
// by the program.

namespace runtime {

inline constexpr char kRenderTag[4] = {'C', 'F', 'P', '1'};
inline constexpr int kRenderHeaderSize = 24;

} // namespace runtime
