// SPDX-License-Identifier: MIT
// What the main window is made of: its properties, its controls and its menu tree, each menu
// item with the handler its click runs. Each desktop builds its window from it, and the test
// double its boxes and items.
#pragma once

#include "platform/platform.h"

#include <cmath>
#include <optional>
#include <span>
#include <string_view>

namespace WindowDescription {

inline constexpr std::u16string_view Caption = u"Lexitrove";
inline constexpr int ClientWidthTwips = 13500;
inline constexpr int ClientHeightTwips = 900;
inline constexpr int BackgroundRgb = 0x808080;
inline constexpr int TwipsPerInch = 1440;

enum class ControlKind { TextBox, ComboBox };

struct Control
{
    std::u16string_view name;
    std::optional<Box> box; // the text boxes the logic works with; Combo1 is none of them
    ControlKind kind;
    int left, top, width, height; // twips, from the client area's top-left corner
    bool visible;
    bool enabled;
    std::u16string_view text;
    double fontPoints; // 0: the window's default font; otherwise "Courier New" bold at this size
    std::u16string_view toolTip; // empty: none
};

// Menu and BarCommand/BarLabel items stand on the menu bar; the others in the list of the Menu
// item above them.
enum class MenuKind { Menu, Separator, Command, BarCommand, BarLabel };

struct MenuRow
{
    Item item;
    std::u16string_view name;
    std::u16string_view caption;
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
    return int(std::lround(twips * dpi / TwipsPerInch));
}

} // namespace WindowDescription
