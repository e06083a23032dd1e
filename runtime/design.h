#pragma once

// The design values of a screen, written as tables in twips, colours as
// red/green/blue and fonts by face and point size, exactly as designed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace runtime {

inline constexpr int kTwipsPerPixel = 15; // at 96 dots per inch

// Twips to device-independent pixels; design values are whole pixels.
constexpr int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

struct Rgb {
    std::uint8_t red, green, blue;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct FontDesign {
    std::string_view face;
    double points;
    int weight = 400;
    bool italic = false;
};

// A face the design names, and the freely licensed face that stands in for
// it where the desktop lacks it, with the resource files of that face the
// program carries for desktops that lack both.
struct FontSubstitute {
    std::string_view face;
    std::string_view family;
    std::span<const std::string_view> files;
};

// The dialog font that buttons use when no other is set.
inline constexpr FontDesign kDefaultDialogFont{"MS Sans Serif", 8.25};

enum class ControlKind { CommandButton, TextBox, Label, PictureBox, Image, Shape, Timer };
enum class Alignment { Left, Centre };

// A rectangle in twips: Left, Top, Width, Height, from the client area's
// top-left corner.
struct Place {
    int left, top, width, height;
};

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    Place place = {};
    int tabIndex = -1; // -1: not in the tab order
    std::string_view caption = {};
    std::optional<FontDesign> font = {};
    std::optional<Rgb> foreground = {};
    std::optional<Rgb> background = {};
    Alignment alignment = Alignment::Left;
    bool border = false; // labels: single sunken border
    bool cancel = false; // buttons: pressed by Esc
    bool graphical = false; // buttons: picture instead of caption
    std::string_view accessibleName = {};
    // Labels: the line (1, 2, ...) of its window's summary, which a screen
    // reader reads out with the window's name; labels of one line are read
    // in design order. 0: not in the summary.
    int summaryLine = 0;
    bool message = false; // labels: a message, spoken by a screen reader each time it is set
    std::string_view picture = {}; // resource path of the vector picture shown
    int interval = 0; // timers: milliseconds between ticks; a timer starts disabled
};

struct FormDesign {
    std::string_view name;
    std::string_view caption;
    int clientWidth, clientHeight; // twips
    Rgb background;
    std::span<const ControlDesign> controls;
};

// A control of a design table, found by name when the program is built.
// The screen that owns the table gets the control of that kind through it.
template <ControlKind K> struct ControlId {
    std::size_t index;
    std::string_view name;
};

// A name missing from the table, or a row of another kind, does not compile.
template <ControlKind K, std::size_t N>
consteval ControlId<K> find(const std::array<ControlDesign, N>& table, std::string_view name)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i].name != name)
            continue;
        if (table[i].kind != K)
            throw "the design table gives this control another kind";
        return {i, name};
    }
    throw "the design table has no control of this name";
}

} // namespace runtime
