// SPDX-License-Identifier: MIT
// The word list Words.TxT beside the executable: counted once at start-up, read again from the
// start for every word fetched. Nothing of it is kept but the count, the last item read and,
// when it could not answer, why.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

#include <cstdint>
#include <limits>
#include <string>

// The word list's path: the program's folder and "/Words.TxT".
std::u16string wordListPath(Platform& platform);

// Counts the items into Pos and Total, leaving the last one in Word. A missing list shows
// "Error Words.TxT File Missing" and ends the process; any other failure returns quietly and
// leaves Total alone. Fault says what was wrong: an empty list, an unreadable one, or one with
// more than `maxCount` items (the count past which counting overflows; tests lower it).
void CountWords(FormState& form, Platform& platform,
                std::int32_t maxCount = std::numeric_limits<std::int32_t>::max());

// Reads items until the Pick-th (or the last, when the list is shorter) into Word, counting
// in Pos. When Pos falls short of Pick, Fault says why: the list is missing, empty, unreadable
// or shorter than it was; the caller decides what to tell the user. An item that holds a
// character that cannot be typed (see firstUntypeable) is read all the same, and Fault says on
// which line of the file it stands: no phrase may hold it.
void FetchWord(FormState& form, Platform& platform);

// The first character of `item` that no keyboard types into a password field: a control
// character (U+0000 to U+001F, TAB among them, U+007F and U+0080 to U+009F), or a byte-order
// mark (U+FEFF), which nobody sees either. npos when there is none.
std::size_t firstUntypeable(std::u16string_view item);

// Shows "Error Words.TxT File Missing" and ends the process with status 1: never returns.
void endForMissingList(Platform& platform);
