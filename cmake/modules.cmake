# Each source folder of the game is one static library made of the .cpp files it holds.
# The folders call into each other (the screens call the core, the core starts sounds and
# switches themes), so programs and tests link them as one group through wg_game.
set(WG_GAME_MODULES util store platform gfx core audio ui)

function(wg_game_module name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # A platform's back ends are named after it: x_win32.cpp on Windows, sdl_x.cpp and x_posix.cpp
  # everywhere else.
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "(/sdl_[^/]*|_posix)\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  if(sources)
    add_library(wg_${name} STATIC ${sources})
    target_link_libraries(wg_${name} PUBLIC wg_system)
  else()
    add_library(wg_${name} INTERFACE)
  endif()
endfunction()

add_library(wg_game INTERFACE)
set(group "")
foreach(m ${WG_GAME_MODULES})
  list(APPEND group wg_${m})
endforeach()
# The window and frame loop (app/) read the keyboard queue of platform/ and are read by the
# configuration loader, so they join the group too.
list(APPEND group wg_app)
list(JOIN group "," group_csv)
target_link_libraries(wg_game INTERFACE "$<LINK_GROUP:RESCAN,${group_csv}>" wg_system)

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
