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

# The static core library that holds the code. Its parts add their sources to it.
add_library(tarvox_core STATIC)
target_include_directories(tarvox_core PUBLIC ${PROJECT_SOURCE_DIR}/include
                                       PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(tarvox_core PRIVATE TARVOX_BUILDING)
target_link_libraries(tarvox_core PUBLIC tarvox_platform advapi32 kernel32 shell32 ole32 oleaut32 user32)
tarvox_warnings(tarvox_core)

# For the library's own tests and tools: the core linked in directly, internal headers visible.
# Linked whole, as in the DLL, so that the seams of the lower layers are installed at start-up
# (variables/layer_seams.cpp is referenced by nothing).
add_library(tarvox_core_internal INTERFACE)
target_link_libraries(tarvox_core_internal INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,tarvox_core>")
target_include_directories(tarvox_core_internal INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(tarvox_core_internal INTERFACE TARVOX_STATIC)
