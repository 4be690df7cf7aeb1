// SPDX-License-Identifier: MIT
// The main window's controls and menu tree: the one place that names them.
#include "ui/window_description.h"

#include "clip/copy_text.h"
#include "clip/info_message.h"
#include "edit/case_commands.h"
#include "edit/spacing_commands.h"
#include "words/phrase_commands.h"

#include <iterator>

namespace WindowDescription {
namespace {

// clang-format off
constexpr Control kControls[] = {
    {u"Text3",  Box::Text3,   ControlKind::TextBox,  9240,  2040, 2775,  375, false, true,  u"",   0,     u""},
    {u"Text2",  Box::Text2,   ControlKind::TextBox,  12480, 1200, 615,   525, false, true,  u"01", 20.25, u""},
    {u"Combo1", std::nullopt, ControlKind::ComboBox, 12600, 2160, 615,   315, false, true,  u"01", 0,     u""},
    {u"Text1",  Box::Text1,   ControlKind::TextBox,  0,     240,  13455, 405, true,  false, u"",   9.75,
     u" Clik To Save Clipboard "},
};

constexpr MenuRow kMenuTree[] = {
    {Item::W,   u"W",   u"Words",                 MenuKind::Menu,       nullptr},
    {Item::B1,  u"B1",  u"-",                     MenuKind::Separator,  nullptr},
    {Item::W1,  u"W1",  u"Words (01)",            MenuKind::Command,    W1_Click},
    {Item::W2,  u"W2",  u"Words (02)",            MenuKind::Command,    W2_Click},
    {Item::W3,  u"W3",  u"Words (03)",            MenuKind::Command,    W3_Click},
    {Item::W4,  u"W4",  u"Words (04)",            MenuKind::Command,    W4_Click},
    {Item::W5,  u"W5",  u"Words (05)",            MenuKind::Command,    W5_Click},
    {Item::W6,  u"W6",  u"Words (06)",            MenuKind::Command,    W6_Click},
    {Item::W7,  u"W7",  u"Words (07)",            MenuKind::Command,    W7_Click},
    {Item::W8,  u"W8",  u"Words (08)",            MenuKind::Command,    W8_Click},
    {Item::W9,  u"W9",  u"Words (09)",            MenuKind::Command,    W9_Click},
    {Item::W10, u"W10", u"Words (10)",            MenuKind::Command,    W10_Click},
    {Item::InF, u"InF", u"InFo",                  MenuKind::Command,    InF_Click},
    {Item::B2,  u"B2",  u"-",                     MenuKind::Separator,  nullptr},
    {Item::Ct,  u"Ct",  u"Change Tex",            MenuKind::Menu,       nullptr},
    {Item::B3,  u"B3",  u"-",                     MenuKind::Separator,  nullptr},
    {Item::CL,  u"CL",  u"Capital Letters",       MenuKind::Command,    CL_Click},
    {Item::LCL, u"LCL", u"Lower Case Letters",    MenuKind::Command,    LCL_Click},
    {Item::CLF, u"CLF", u"Capital Letters First", MenuKind::Command,    CLF_Click},
    {Item::RS,  u"RS",  u"Remove Spaces",         MenuKind::Command,    RS_Click},
    {Item::AD,  u"AD",  u"Add -",                 MenuKind::Command,    AD_Click},
    {Item::ADd, u"ADd", u"Add .",                 MenuKind::Command,    ADd_Click},
    {Item::B4,  u"B4",  u"-",                     MenuKind::Separator,  nullptr},
    {Item::Ct1, u"Ct1", u"Copy Text",             MenuKind::BarCommand, Ct1_Click},
    {Item::CH,  u"CH",  u"Characters 0",          MenuKind::BarLabel,   nullptr},
};
// clang-format on

// One row for every item, in the order of Item, so that an item's row is found by its number.
constexpr bool inItemOrder()
{
    for (std::size_t i = 0; i < std::size(kMenuTree); ++i) {
        if (kMenuTree[i].item != Item(i))
            return false;
    }
    return std::size(kMenuTree) == std::size_t(Item::CH) + 1;
}
static_assert(inItemOrder(), "kMenuTree needs one row per Item, in the order of Item");

} // namespace

std::span<const Control> controls()
{
    return kControls;
}

std::span<const MenuRow> menuTree()
{
    return kMenuTree;
}

const MenuRow& menuRow(Item item)
{
    return kMenuTree[std::size_t(item)];
}

} // namespace WindowDescription
