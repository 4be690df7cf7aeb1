// SPDX-License-Identifier: MIT
// The main window's controls and menu tree.
#include "ui/window_description.h"

namespace WindowDescription {
namespace {

// clang-format off
constexpr Control kControls[] = {
    {u"Text3", ControlKind::TextBox, 9240, 2040, 2775, 375, false, true, u"", 0, 0, nullptr},
    {u"Text2", ControlKind::TextBox, 12480, 1200, 615, 525, false, true, u"01", 20.25, 1, nullptr},
    {u"Combo1", ControlKind::ComboBox, 12600, 2160, 615, 315, false, true, u"01", 0, 3, nullptr},
    {u"Text1", ControlKind::TextBox, 0, 240, 13455, 405, true, false, u"", 9.75, 2,
     u" Clik To Save Clipboard "},
};
// clang-format on

// clang-format off
constexpr MenuRow kMenuTree[] = {
    {1, u"W", u"Words", MenuKind::Menu},
    {2, u"B1", u"-", MenuKind::Separator},
    {2, u"W1", u"Words (01)", MenuKind::Command},
    {2, u"W2", u"Words (02)", MenuKind::Command},
    {2, u"W3", u"Words (03)", MenuKind::Command},
    {2, u"W4", u"Words (04)", MenuKind::Command},
    {2, u"W5", u"Words (05)", MenuKind::Command},
    {2, u"W6", u"Words (06)", MenuKind::Command},
    {2, u"W7", u"Words (07)", MenuKind::Command},
    {2, u"W8", u"Words (08)", MenuKind::Command},
    {2, u"W9", u"Words (09)", MenuKind::Command},
    {2, u"W10", u"Words (10)", MenuKind::Command},
    {2, u"InF", u"InFo", MenuKind::Command},
    {2, u"B2", u"-", MenuKind::Separator},
    {1, u"Ct", u"Change Tex", MenuKind::Menu},
    {2, u"B3", u"-", MenuKind::Separator},
    {2, u"CL", u"Capital Letters", MenuKind::Command},
    {2, u"LCL", u"Lower Case Letters", MenuKind::Command},
    {2, u"CLF", u"Capital Letters First", MenuKind::Command},
    {2, u"RS", u"Remove Spaces", MenuKind::Command},
    {2, u"AD", u"Add -", MenuKind::Command},
    {2, u"ADd", u"Add .", MenuKind::Command},
    {2, u"B4", u"-", MenuKind::Separator},
    {1, u"Ct1", u"Copy Text", MenuKind::BarCommand},
    {1, u"CH", u"Characters 0", MenuKind::BarLabel},
};
// clang-format on

} // namespace

std::span<const Control> controls()
{
    return kControls;
}

std::span<const MenuRow> menuTree()
{
    return kMenuTree;
}

} // namespace WindowDescription
