# Libraries from the system, found once and shared by every target.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows/deps.cmake)
  return()
endif()
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(OpenGL REQUIRED)
find_package(X11 REQUIRED)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
pkg_check_modules(GLFW REQUIRED IMPORTED_TARGET glfw3)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)

# One target per kind of system library, so that each module of the game links only what it uses
# (cmake/windows/deps.cmake makes the same targets for the Windows build).
add_library(wg_sys_gui INTERFACE)  # Dear ImGui with its GLFW and OpenGL 2 back ends
target_link_libraries(wg_sys_gui INTERFACE PkgConfig::IMGUI PkgConfig::GLFW OpenGL::GL)
add_library(wg_sys_window INTERFACE)
# The windowing library draws through X11; its error handling is the game's to set.
target_link_libraries(wg_sys_window INTERFACE PkgConfig::GLFW X11::X11)
add_library(wg_sys_gl INTERFACE)
target_link_libraries(wg_sys_gl INTERFACE OpenGL::GL)
add_library(wg_sys_stb INTERFACE)
target_link_libraries(wg_sys_stb INTERFACE PkgConfig::STB)
add_library(wg_sys_sound INTERFACE)  # the audio output device
target_link_libraries(wg_sys_sound INTERFACE PkgConfig::SDL2)
add_library(wg_sys_zlib INTERFACE)
target_link_libraries(wg_sys_zlib INTERFACE PkgConfig::ZLIB)
