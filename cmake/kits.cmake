# The kits `make release` packs from this build, one line each: component, folder, archive.
# x86-64 is the default the names leave unsaid; other processors are named.
set(labsim_kit_platform ${CMAKE_SYSTEM_NAME})
if(EMSCRIPTEN)
  set(labsim_kit_platform web)
elseif(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  string(APPEND labsim_kit_platform -${CMAKE_SYSTEM_PROCESSOR})
endif()
if(WIN32 OR EMSCRIPTEN)
  set(labsim_kit_archive zip)
else()
  set(labsim_kit_archive tar.gz)
endif()
set(labsim_kit_suffix "${PROJECT_VERSION}-${labsim_kit_platform} ${labsim_kit_archive}")
file(WRITE ${CMAKE_BINARY_DIR}/kits.txt "teacher ${PROJECT_NAME}-${labsim_kit_suffix}\n"
                                        "student ${PROJECT_NAME}-student-${labsim_kit_suffix}\n")
# The student's site offers these; the release script reads them here.
string(REPLACE ";" " " labsim_student_list "${LABSIM_STUDENT_PROGRAMS}")
file(WRITE ${CMAKE_BINARY_DIR}/student-programs.txt "${labsim_student_list}\n")
