// SPDX-License-Identifier: MIT
// Menus from the window description's rows, with no access keys: an '&' in a caption is shown
// as itself.
#include "win32/win32_menu.h"

#include "platform/platform.h"
#include "system/system_error_win32.h"
#include "ui/window_description.h"

namespace WD = WindowDescription;

namespace {

// A menu reads '&' as "underline the next letter"; the program's captions mean the character.
std::wstring menuText(std::u16string_view caption)
{
    std::wstring text;
    for (const char16_t unit : caption) {
        if (unit == u'&')
            text += L'&';
        text += wchar_t(unit);
    }
    return text;
}

[[noreturn]] void throwMenuError()
{
    throw PlatformError{ErrorNumber::InternalError, windowsErrorText(GetLastError())};
}

} // namespace

Win32Menu::Win32Menu()
    : m_bar(CreateMenu())
{
    if (!m_bar)
        throwMenuError();
    HMENU list = nullptr;
    UINT barPosition = 0;
    UINT listPosition = 0;
    for (const WD::MenuRow& row : WD::menuTree()) {
        Slot& slot = m_slots[std::size_t(row.item)];
        const std::wstring text = menuText(row.caption);
        BOOL added = FALSE;
        switch (row.kind) {
        case WD::MenuKind::Menu:
            list = CreatePopupMenu();
            listPosition = 0;
            added = list && AppendMenuW(m_bar, MF_POPUP | MF_STRING, UINT_PTR(list), text.c_str());
            slot = {m_bar, barPosition++};
            break;
        case WD::MenuKind::Separator:
            added = AppendMenuW(list, MF_SEPARATOR, 0, nullptr);
            slot = {list, listPosition++};
            break;
        case WD::MenuKind::Command:
            added = AppendMenuW(list, MF_STRING, commandId(row.item), text.c_str());
            slot = {list, listPosition++, true, true};
            break;
        case WD::MenuKind::BarCommand:
        case WD::MenuKind::BarLabel:
            // On the bar itself: a click runs it at once, opening no list.
            added = AppendMenuW(m_bar, MF_STRING, commandId(row.item), text.c_str());
            slot = {m_bar, barPosition++, true, true};
            break;
        }
        if (!added)
            throwMenuError();
    }
}

std::optional<Item> Win32Menu::itemFor(WORD commandId) const
{
    const int number = int(commandId) - 100;
    if (number < 0 || number >= int(m_slots.size()) || !m_slots[std::size_t(number)].command)
        return std::nullopt;
    return Item(number);
}

void Win32Menu::setCaption(Item item, const std::u16string& caption)
{
    const Slot& slot = m_slots[std::size_t(item)];
    std::wstring text = menuText(caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    if (!SetMenuItemInfoW(slot.menu, slot.position, TRUE, &info))
        throwMenuError();
    redraw();
}

void Win32Menu::setEnabled(Item item, bool enabled)
{
    Slot& slot = m_slots[std::size_t(item)];
    if (EnableMenuItem(slot.menu, slot.position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED)) == -1)
        throwMenuError();
    slot.enabled = enabled;
    redraw();
}

void Win32Menu::redraw() const
{
    // A caption or state written to the bar is not shown until the bar is drawn again.
    if (m_window)
        DrawMenuBar(m_window);
}
