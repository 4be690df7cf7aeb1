// SPDX-License-Identifier: MIT
// What the main window is made of: its properties, its controls and its menu tree, each menu
// item with the handler its click runs. The Qt window builds its widgets from it; the test
// double builds its boxes and items from it.
#pragma once

#include "platform/platform.h"

#include <QString>

#include <optional>
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
    std::optional<Box> box; // the text boxes the logic works with; Combo1 is none of them
    ControlKind kind;
    int left, top, width, height; // twips, from the client area's top-left corner
    bool visible;
    bool enabled;
    const char16_t* text;
    double fontPoints; // 0: the window's default font; otherwise "Courier New" bold at this size
    const char16_t* toolTip; // nullptr: none
};

// Menu and BarCommand/BarLabel items stand on the menu bar; the others in the list of the Menu
// item above them.
enum class MenuKind { Menu, Separator, Command, BarCommand, BarLabel };

struct MenuRow
{
    Item item;
    const char16_t* name;
    const char16_t* caption;
    MenuKind kind;
    Handler handler; // run when the item is chosen; nullptr: choosing it does nothing
};

// In creation order.
std::span<const Control> controls();
// In display order, which is the order of Item.
std::span<const MenuRow> menuTree();
const MenuRow& menuRow(Item item);

// Twips to device pixels at the given logical dots per inch (15 twips a pixel at 96 DPI).
inline int toPixels(double twips, double dpi)
{
    return qRound(twips * dpi / TwipsPerInch);
}

} // namespace WindowDescription
