// SPDX-License-Identifier: MIT
// The main window's variables, shared by its handlers and private procedures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A text of exactly one character; it holds the character with code 0 until first set.
struct FixedChar
{
    char16_t value = u'\0';
};

// Why a word could not be had: what the last count, fetch or draw found wrong. The count at
// start-up stays quiet, so the window opens, and the first command that needs a word says it.
struct DrawFault
{
    // clang-format off
    enum Kind {
        None,
        MissingList,    // Words.TxT is gone
        EmptyList,      // it holds no words
        UnreadableList, // it cannot be opened or read; `reason` says why
        OverlongList,   // it holds more words than Total can count
        ShortenedList,  // it ends before the drawn ordinal: it got shorter since start-up
        RandomSource,   // the system gave no random bits; `reason` says why
        Untypeable,     // the drawn item holds a control character: `reason` names it, `line` says where
        Stopped,        // the read was stopped: the window is to close or the program to end
    };
    // clang-format on
    Kind kind = None;
    std::u16string reason; // the system's words, where it gave any
    std::int64_t line = 0; // Untypeable: the line of the file the item stands on, counted from 1
};

struct FormState
{
    // Loop counter of the generation commands; holds the word count + 1 after one has run.
    std::optional<int> LoopIndex;
    // Shared position counter: the ordinal reached by the list readers, and the character
    // position of the editing loops. It means nothing between commands, so each user sets it.
    std::int32_t Pos = 0;
    // The item last read from the word list (by counting as well as by fetching).
    std::u16string Word;
    // The ordinal drawn for the next word: a whole number >= 1 once set, empty again after a
    // draw the system could not make.
    std::optional<double> Pick;
    // Items in the word list, counted once at start-up.
    std::int32_t Total = 0;
    // "Capital Letters First": 1 when the next character is to be raised.
    std::int16_t CapNext = 0;
    // "Capital Letters First": the character in hand.
    FixedChar Ch;
    // The spacing commands rebuild the phrase here.
    std::u16string Acc;
    // Time of day at which the Copy Text pause began.
    float TStart = 0.0f;
    // Written by CountWords and FetchWord on every call and by PickIndex when it cannot draw;
    // read by the generation commands, which then hand out no phrase.
    DrawFault Fault;
};
