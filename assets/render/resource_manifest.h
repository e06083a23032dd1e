#pragma once

#include <span>

// Every resource path the program is built with; made by the build from
// the lists of pictures, icon and fonts.
std::span<const char* const> cifrellaResourceManifest();
