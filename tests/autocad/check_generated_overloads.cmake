# Regenerates the release-flag overloads into a scratch folder and fails when the files in the
# source tree differ from what the generator writes now.
set(scratch "${BINARY_DIR}/generated-overloads-check")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}/include/tarvox" "${scratch}/autocad")
execute_process(COMMAND "${CMAKE_COMMAND}" -DOUTPUT_ROOT=${scratch}
                        -P "${SOURCE_DIR}/cmake/generate_release_overloads.cmake"
                RESULT_VARIABLE generated)
if(NOT generated EQUAL 0)
  message(FATAL_ERROR "the generator failed")
endif()
foreach(file include/tarvox/acad_releases.h autocad/release_overloads.cpp
             include/tarvox/acad_folders_by_year.h autocad/folder_members.cpp)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE_DIR}/${file}" "${scratch}/${file}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${file} is out of date: run cmake -DOUTPUT_ROOT=. -P cmake/generate_release_overloads.cmake")
  endif()
endforeach()
