# Settings shared by every target of the project.

# Warnings on for the project's own code.
function(tarvox_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Wno-cast-function-type)
endfunction()

# The Windows definitions every source is compiled with.
add_library(tarvox_platform INTERFACE)
target_compile_definitions(tarvox_platform INTERFACE UNICODE _UNICODE NOMINMAX
                                                     _WIN32_WINNT=0x0A00 WINVER=0x0A00)

# The MinGW runtime is linked statically: the DLL and the programs then need no runtime DLLs
# (a Wine prefix has no libwinpthread-1.dll, libstdc++-6.dll or libgcc_s_seh-1.dll).
add_link_options(-static -static-libgcc -static-libstdc++)

# A layer of the library: the folder of that name as a static library, which links the layers
# it uses (and through them theirs). Its include root holds only its own folder (a link to it in
# the build tree), and it sees the include roots of the layers it links: an #include of a higher
# layer's header does not compile. A shared library that holds the whole layer and only the
# layers below it is linked as a check, so that a call into a higher layer (through the public
# headers, which every layer sees) fails to link as well.
function(tarvox_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES")
  # Layers are declared lowest first and use only layers declared before them: no cycle.
  foreach(used ${arg_USES})
    if(NOT TARGET tarvox_${used})
      message(FATAL_ERROR "Layer ${name} uses ${used}, which is not a layer below it")
    endif()
  endforeach()
  set(target tarvox_${name})
  add_library(${target} STATIC)
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${name} ${root}/${name} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root} ${PROJECT_SOURCE_DIR}/include)
  target_compile_definitions(${target} PRIVATE TARVOX_BUILDING)
  list(TRANSFORM arg_USES PREPEND tarvox_)
  target_link_libraries(${target} PUBLIC tarvox_platform ${arg_USES})
  tarvox_warnings(${target})
  set_property(GLOBAL APPEND PROPERTY TARVOX_LAYERS ${target})
  add_subdirectory(${PROJECT_SOURCE_DIR}/${name})

  add_library(${target}_link_check SHARED ${PROJECT_SOURCE_DIR}/cmake/layer_link_check.cpp)
  target_link_libraries(${target}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
  set_target_properties(${target}_link_check PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-checks
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-checks)
endfunction()

# The whole library as the DLL, the tests and the tools link it (see the layer order in the
# top-level CMakeLists.txt). The top layer is linked whole: it installs the seams through which
# the lower layers reach it, and nothing refers to that file.
add_library(tarvox_core INTERFACE)
target_link_libraries(tarvox_core INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,tarvox_variables>" tarvox_ui)

# For the library's own tests and tools: the core linked in directly, internal headers visible.
add_library(tarvox_core_internal INTERFACE)
target_link_libraries(tarvox_core_internal INTERFACE tarvox_core)
target_include_directories(tarvox_core_internal INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(tarvox_core_internal INTERFACE TARVOX_STATIC)
