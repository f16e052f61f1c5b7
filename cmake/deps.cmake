# Libraries from the system, found once and shared by every target.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows/deps.cmake)
  return()
endif()
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(OpenGL REQUIRED)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
pkg_check_modules(GLFW REQUIRED IMPORTED_TARGET glfw3)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)

# Everything a module of the game may link against.
add_library(wg_system INTERFACE)
target_link_libraries(wg_system INTERFACE
  PkgConfig::IMGUI PkgConfig::STB PkgConfig::GLFW PkgConfig::SDL2 PkgConfig::ZLIB
  OpenGL::GL Threads::Threads)
