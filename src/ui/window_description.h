// SPDX-License-Identifier: MIT
// What the main window is made of: its properties, its controls and its menu tree, as data.
// The Qt platform builds widgets from it; the test double builds named items from it.
#pragma once

#include <QString>

#include <span>

namespace WindowDescription {

inline constexpr char16_t Caption[] = u"Lexitrove";
inline constexpr int ClientWidthTwips = 13500;
inline constexpr int ClientHeightTwips = 900;
inline constexpr int BackgroundRgb = 0x808080;
inline constexpr int TwipsPerInch = 1440;

enum class ControlKind { TextBox, ComboBox };

struct Control
{
    const char16_t* name;
    ControlKind kind;
    int left, top, width, height; // twips, from the client area's top-left corner
    bool visible;
    bool enabled;
    const char16_t* text;
    double fontPoints; // 0: the window's default font; otherwise "Courier New" bold at this size
    int tabIndex;
    const char16_t* toolTip; // nullptr: none
};

enum class MenuKind { Menu, Separator, Command, BarCommand, BarLabel };

struct MenuRow
{
    int level; // 1: on the menu bar; 2: in the list of the level-1 menu above it
    const char16_t* name;
    const char16_t* caption;
    MenuKind kind;
};

// In creation order.
std::span<const Control> controls();
// In display order.
std::span<const MenuRow> menuTree();

// Twips to device pixels at the given logical dots per inch (15 twips a pixel at 96 DPI).
inline int toPixels(double twips, double dpi)
{
    return qRound(twips * dpi / TwipsPerInch);
}

} // namespace WindowDescription
