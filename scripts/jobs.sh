#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints how many jobs to build and test with: $JOBS where set, else one per processor (2 where
# nproc is missing). Used by every script that builds or runs ctest.
echo "${JOBS:-$(nproc 2>/dev/null || echo 2)}"
