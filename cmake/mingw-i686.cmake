# Cross build for 32-bit Windows with MinGW-w64: the plug-in as the messenger's usual edition loads it.
set(KELVARON_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
