// SPDX-License-Identifier: MIT
// The menu bar, built row by row from the window description: its command ids, and the captions
// and enabled states the handlers write.
#pragma once

#include "platform/controls.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

class Win32Menu
{
public:
    // The bar and its lists; the window that is given it with setWindow owns and destroys them.
    Win32Menu();
    HMENU bar() const { return m_bar; }
    void setWindow(HWND window) { m_window = window; }

    // The WM_COMMAND id of an item that can be chosen: 100 + its number in Item.
    static WORD commandId(Item item) { return WORD(100 + int(item)); }
    // The item a menu command id stands for; none for a list or a separator.
    std::optional<Item> itemFor(WORD commandId) const;

    // Shown at once. Throw PlatformError where the menu refuses.
    void setCaption(Item item, const std::u16string& caption);
    void setEnabled(Item item, bool enabled);
    bool enabled(Item item) const { return m_slots[std::size_t(item)].enabled; }

private:
    // Where an item stands: the bar or the list that holds it, and its place there.
    struct Slot
    {
        HMENU menu = nullptr;
        UINT position = 0;
        bool enabled = true;
        bool command = false; // chosen through a command id (not a list, not a separator)
    };

    void redraw() const;

    HMENU m_bar = nullptr;
    HWND m_window = nullptr;
    std::array<Slot, std::size_t(Item::CH) + 1> m_slots{};
};
