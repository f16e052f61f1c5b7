# Libraries of the Windows cross build. GLFW and Dear ImGui are built here from Debian's source
# packages (scripts/build-windows.sh fetches them), zlib comes from libz-mingw-w64-dev and stb from
# libstb-dev's headers. Everything is linked statically, so the programs need no DLL of ours.
enable_language(RC)
find_package(Threads REQUIRED)
foreach(source WG_GLFW_SOURCE WG_IMGUI_SOURCE)
  if(NOT IS_DIRECTORY "${${source}}")
    message(FATAL_ERROR "${source} must name the unpacked source package")
  endif()
endforeach()

set(GLFW_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_DOCS OFF CACHE BOOL "" FORCE)
set(GLFW_INSTALL OFF CACHE BOOL "" FORCE)
add_subdirectory(${WG_GLFW_SOURCE} ${CMAKE_BINARY_DIR}/glfw EXCLUDE_FROM_ALL)
# GLFW's own sources are not ours to hold to our warnings.
target_compile_options(glfw PRIVATE -w)

# stb's headers without the rest of the Linux include folder: <stb/x.h> and <x.h> both resolve.
set(WG_STB_INCLUDE ${CMAKE_BINARY_DIR}/stb-include)
file(MAKE_DIRECTORY ${WG_STB_INCLUDE})
file(CREATE_LINK /usr/include/stb ${WG_STB_INCLUDE}/stb SYMBOLIC)
add_library(wg_stb STATIC ${CMAKE_CURRENT_LIST_DIR}/stb_implementations.c)
target_include_directories(wg_stb SYSTEM PUBLIC ${WG_STB_INCLUDE} ${WG_STB_INCLUDE}/stb)
target_compile_options(wg_stb PRIVATE -w)

# Dear ImGui as Debian builds its libimgui.a (less the demo window, which the game never opens):
# the library with the GLFW and OpenGL 2 back ends, stb's rectangle packer and TrueType
# rasteriser taken from libstb-dev.
add_library(wg_imgui STATIC
  ${WG_IMGUI_SOURCE}/imgui.cpp ${WG_IMGUI_SOURCE}/imgui_draw.cpp ${WG_IMGUI_SOURCE}/imgui_tables.cpp
  ${WG_IMGUI_SOURCE}/imgui_widgets.cpp
  ${WG_IMGUI_SOURCE}/backends/imgui_impl_glfw.cpp ${WG_IMGUI_SOURCE}/backends/imgui_impl_opengl2.cpp)
target_compile_definitions(wg_imgui PUBLIC
  IMGUI_DISABLE_STB_RECT_PACK_IMPLEMENTATION IMGUI_STB_RECT_PACK_FILENAME=<stb/stb_rect_pack.h>
  IMGUI_DISABLE_STB_TRUETYPE_IMPLEMENTATION IMGUI_STB_TRUETYPE_FILENAME=<stb/stb_truetype.h>)
target_include_directories(wg_imgui SYSTEM PUBLIC ${WG_IMGUI_SOURCE})
target_link_libraries(wg_imgui PUBLIC glfw wg_stb opengl32)
target_compile_options(wg_imgui PRIVATE -w)

find_library(WG_ZLIB NAMES libz.a REQUIRED)

add_library(wg_sys_gui INTERFACE)
target_link_libraries(wg_sys_gui INTERFACE wg_imgui)
add_library(wg_sys_window INTERFACE)
target_link_libraries(wg_sys_window INTERFACE glfw)
add_library(wg_sys_gl INTERFACE)
target_link_libraries(wg_sys_gl INTERFACE opengl32)
add_library(wg_sys_stb INTERFACE)
target_link_libraries(wg_sys_stb INTERFACE wg_stb)
add_library(wg_sys_sound INTERFACE)
target_link_libraries(wg_sys_sound INTERFACE dsound dxguid winmm)
add_library(wg_sys_zlib INTERFACE)
target_link_libraries(wg_sys_zlib INTERFACE ${WG_ZLIB})
# No DLL of the compiler's either: its C++ and thread runtimes go into the program.
add_link_options(-static -static-libgcc -static-libstdc++)
