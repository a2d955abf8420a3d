# What the tests under Wine stand on, as CTest fixtures: the run's Wine prefixes; and the helpers that
# label a test and attach it to them. Included by tests/CMakeLists.txt (Windows).

# An emulated machine runs the Windows tests several times slower than a real one.
set(KELVARON_TEST_TIME_SCALE 1 CACHE STRING "Factor on the Windows tests' time limits")
function(kelvaron_test_timeout seconds)
  math(EXPR seconds "${seconds} * ${KELVARON_TEST_TIME_SCALE}")
  set_tests_properties(${ARGN} PROPERTIES TIMEOUT ${seconds})
endfunction()

# Every test script takes this folder as its first argument and finds what it shares there.
set(KELVARON_SCRIPTS_DIR ${PROJECT_SOURCE_DIR}/scripts)

# A fresh Wine prefix in the build folder, made before the first test that needs it (what an interrupted
# run left there removed first) and removed after the last: kelvaron_wine_prefix_fixture(NAME FOLDER
# ARCH). The emulated 32-bit run makes Bob's 64-bit prefix with its setup test outside the emulated
# machine, where it would take minutes, and leaves that setup out inside (ctest -FS).
function(kelvaron_wine_prefix_fixture name folder arch)
  add_test(NAME ${name} COMMAND bash ${KELVARON_SCRIPTS_DIR}/wine-prefix.sh --fresh ${folder} ${arch})
  add_test(NAME ${name}_cleanup COMMAND bash ${KELVARON_SCRIPTS_DIR}/wine-prefix.sh --remove ${folder} ${arch})
  set_tests_properties(${name} PROPERTIES FIXTURES_SETUP ${name} LABELS fixture)
  set_tests_properties(${name}_cleanup PROPERTIES FIXTURES_CLEANUP ${name} LABELS fixture)
  # A new prefix takes Wine a minute at worst here, several in an emulated machine.
  kelvaron_test_timeout(300 ${name})
  kelvaron_test_timeout(60 ${name}_cleanup)
endfunction()

set(KELVARON_TEST_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
kelvaron_wine_prefix_fixture(wine_prefix ${KELVARON_TEST_WINEPREFIX} ${KELVARON_WINDOWS_ARCH})
# In the 32-bit build, Bob's prefix for the game against the 64-bit build, whose messenger folder
# CMakePresets.json names.
if(KELVARON_WINDOWS_ARCH STREQUAL i686)
  set(KELVARON_PEER_HOST_DIR "" CACHE PATH "The 64-bit build's messenger folder, for Bob in devhost_cross_arch")
  set(KELVARON_PEER_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix-peer)
  kelvaron_wine_prefix_fixture(peer_wine_prefix ${KELVARON_PEER_WINEPREFIX} x86_64)
endif()
# Tests under Wine, in the run's prefix: kelvaron_under_wine(TEST...).
function(kelvaron_under_wine)
  set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT KELVARON_WINEPREFIX=${KELVARON_TEST_WINEPREFIX})
endfunction()

# The tests that also run in the emulated 32-bit machine (scripts/guest/), where everything takes 10-20
# times as long: a few of each kind. kelvaron_emulated_32bit_tests(TEST...).
function(kelvaron_emulated_32bit_tests)
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS emulated-32bit)
endfunction()
