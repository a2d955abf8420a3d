# Cross build for 64-bit Windows with MinGW-w64: the same sources, for machines that cannot run 32-bit
# programs and for the messenger's 64-bit edition.
set(KELVARON_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
