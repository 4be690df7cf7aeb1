# SPDX-License-Identifier: MIT
# The Windows figures of the benchmark report (windows_bench.sh): "Words (10)" built for Linux
# and for Windows from one source; and, on Windows, the start-up driver with its baseline, a bare
# window of the program's shape.
add_executable(windows_words_bench windows_words_bench.cpp)
target_link_libraries(windows_words_bench PRIVATE lexitrove_core)
target_include_directories(windows_words_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
if(WIN32)
  add_executable(windows_bare_window WIN32 windows_bare_window.cpp)
  add_executable(windows_startup_bench windows_startup_bench.cpp)
  if(MINGW)
    # Their UTF-16 entry points, wWinMain and wmain.
    target_link_options(windows_bare_window PRIVATE -municode)
    target_link_options(windows_startup_bench PRIVATE -municode)
  endif()
endif()
