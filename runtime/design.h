#pragma once

// The design values of a screen, written as tables in twips, colours as
// red/green/blue and fonts by face and point size, exactly as designed.

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

// The dialog font that buttons use when no other is set.
inline constexpr FontDesign kDefaultDialogFont{"MS Sans Serif", 8.25};

enum class ControlKind { CommandButton, TextBox, Label, PictureBox, Image, Shape };
enum class Alignment { Left, Centre };

// A rectangle in twips: Left, Top, Width, Height, from the client area's
// top-left corner.
struct Place {
    int left, top, width, height;
};

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    Place place;
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
    std::string_view picture = {}; // resource path of the picture shown
};

struct FormDesign {
    std::string_view name;
    std::string_view caption;
    int clientWidth, clientHeight; // twips
    Rgb background;
    std::span<const ControlDesign> controls;
};

} // namespace runtime
