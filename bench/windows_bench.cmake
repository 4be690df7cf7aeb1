# SPDX-License-Identifier: MIT
# The Windows figures of the benchmark report (windows_bench.sh): "Words (10)" built for Linux
# and for Windows from one source; and, on Windows, the start-up driver with its baselines, bare
# windows of the program's shape.
add_executable(windows_words_bench windows_words_bench.cpp)
target_link_libraries(windows_words_bench PRIVATE lexitrove_core)
target_include_directories(windows_words_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
if(WIN32)
  add_executable(windows_bare_window WIN32 windows_bare_window.cpp)
  add_executable(windows_plain_window WIN32 windows_bare_window.cpp windows_plain_window.rc)
  target_compile_definitions(windows_plain_window PRIVATE LEXITROVE_CONTROLS)
  target_link_libraries(windows_plain_window PRIVATE comctl32)
  # The program's own manifest and icon.
  target_include_directories(windows_plain_window PRIVATE ${PROJECT_SOURCE_DIR}/src/win32 ${PROJECT_SOURCE_DIR}/packaging)
  add_executable(windows_startup_bench windows_startup_bench.cpp)
  target_include_directories(windows_startup_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(MINGW)
    # Their UTF-16 entry points, wWinMain and wmain.
    foreach(target windows_bare_window windows_plain_window windows_startup_bench)
      target_link_options(${target} PRIVATE -municode)
    endforeach()
  endif()
endif()
