// SPDX-License-Identifier: MIT
// The operating system's cryptographic random source, as the draw the phrase commands need.
#pragma once

// A value r with 0 <= r < 1 carrying 24 random bits: every multiple of 2^-24 below 1 is
// equally likely. Comes from QRandomGenerator::system(), which cannot be seeded.
float systemRandomDraw();
