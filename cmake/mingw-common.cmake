# What both MinGW-w64 cross builds share; the toolchain files name the target triplet and processor.
# Cross-built tests run under Wine (scripts/wine-run.sh picks 32- or 64-bit Wine by the program).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KELVARON_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVARON_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVARON_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KELVARON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Nothing of MinGW's runtime may be needed beside the binaries: link it in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
