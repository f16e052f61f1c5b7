# 32-bit Windows, the target. The mixers work four floats at a time: SSE2 is the baseline, and
# entry points realign the stack, which Windows keeps only to 4 bytes on this architecture.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain.cmake)
