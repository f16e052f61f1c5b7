# Each source folder of the game is one static library made of the .cpp files it holds. The
# folders form layers (ARCHITECTURE.md): a module links the modules below it that it uses and the
# system libraries it calls, nothing else.
function(wg_game_module name)
  cmake_parse_arguments(PARSE_ARGV 1 module "" "" "LINKS")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # A system's back ends are named after it: x_win32.cpp on Windows, sdl_x.cpp and x_posix.cpp
  # everywhere else.
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "(/sdl_[^/]*|_posix)\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  add_library(wg_${name} STATIC ${sources})
  target_link_libraries(wg_${name} PUBLIC ${module_LINKS})
endfunction()

# Every module of the game, for the programs and tests that use the whole of it.
add_library(wg_game INTERFACE)
target_link_libraries(wg_game INTERFACE wg_app wg_ui wg_core wg_audio wg_gfx wg_store wg_platform
  wg_device wg_util)

# Adds every folder below the current one that holds a CMakeLists.txt, so areas can be added
# without touching the folder above them.
function(wg_add_subdirectories)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${entries})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
