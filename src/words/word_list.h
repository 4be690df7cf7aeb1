// SPDX-License-Identifier: MIT
// The word list Words.TxT beside the executable: counted once at start-up, read again from the
// start for every word fetched. Nothing of it is kept but the count and the last item read.
#pragma once

#include "app/form_state.h"
#include "ui/platform.h"

#include <limits>

// The word list's path: the program's folder and "/Words.TxT".
QString wordListPath(Platform& platform);

// Counts the items into Pos and Total, leaving the last one in Word. A missing list shows
// "Error Words.TxT File Missing" and ends the process; any other failure returns quietly and
// leaves Total alone. `maxCount` is the count past which counting overflows (tests lower it).
void CountWords(FormState& form, Platform& platform, qint32 maxCount = std::numeric_limits<qint32>::max());

// Reads items until the Pick-th (or the last, when the list is shorter) into Word, counting
// in Pos. Failures are handled as by CountWords.
void FetchWord(FormState& form, Platform& platform);
