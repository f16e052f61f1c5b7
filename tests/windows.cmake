# The unit tests of the store, the core and the mixer built for Windows; CTest runs them through
# CMAKE_CROSSCOMPILING_EMULATOR (Wine for x86-64). GoogleTest is built from libgtest-dev's sources.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

function(wg_windows_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE wg_game gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS "unit;windows" TIMEOUT 300)
endfunction()

set(here ${CMAKE_CURRENT_SOURCE_DIR})
wg_windows_test(store_tests ${here}/store/keystore_test.cpp ${here}/store/config_test.cpp
  ${here}/store/files_test.cpp
  ${here}/store/archive_test.cpp)
wg_windows_test(core_tests ${here}/core/core_fixture.cpp ${here}/core/tray_test.cpp
  ${here}/core/words_test.cpp ${here}/core/level_test.cpp ${here}/core/save_test.cpp
  ${here}/core/language_test.cpp)
wg_windows_test(mixer_tests ${here}/audio/mixer_test.cpp ${here}/audio/fake_ring.cpp)

# End-to-end under Wine and Xvfb, with the Linux build's data and window-close helper.
function(wg_wine_test name script)
  add_test(NAME ${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/${script})
  set_tests_properties(${name} PROPERTIES LABELS "e2e;windows" TIMEOUT 300 ENVIRONMENT
    "WG_RUN_DIR=${WG_RUN_DIR};WG_DATA_DIR=${WG_NATIVE_BUILD}/run/data;E2E_CLOSE_TOOL=${WG_NATIVE_BUILD}/tests/e2e/close_window")
endfunction()
wg_wine_test(wine_game game_wine.sh)
wg_wine_test(wine_intro intro_wine.sh)
