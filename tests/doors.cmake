# Windows meet through doors: each working window's folder has a door
# (<name>door.h, <name>door.cpp) offering the few operations other windows
# use, and nobody else touches the window. This check fails when, in the
# program's sources (tests and benchmarks are white-box and not looked at):
#  - a file outside a window's folder includes the window's class header
#    (tfm*.h, aboutbox.h, helpviewer.h); only the program's start-up,
#    shell/main.cpp and shell/startup.cpp, may;
#  - inside the folder, a file that is neither a window file (tfm*) nor the
#    folder's door implementation (*door.cpp) includes a tfm*.h header;
#  - a window reference of the registry (state::windows().fmCard,
#    &state::Windows::fmDeep, ...) is used outside its window's folder: the
#    doors use the references, everybody else the doors or opening by name.
# Run: cmake -DSOURCE_DIR=<checkout> -P tests/doors.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

# Where each window reference belongs. fmNirel3, the main window, is only
# the owner of the others and is used to create them.
set(home_fmCard cards)
set(home_fmDeep deep)
set(home_fmExpress express)
set(home_fmShProek charts)
set(home_fmPupil charts)
set(home_fmConcl conclusion)
set(home_fmReach conclusion)
set(home_fmGuid guides)
set(home_fmPhoto photos)
set(home_AboutBox shell)

file(GLOB entries RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
set(problems)
set(checked 0)
foreach(folder ${entries})
  if(NOT IS_DIRECTORY ${SOURCE_DIR}/${folder} OR NOT EXISTS ${SOURCE_DIR}/${folder}/CMakeLists.txt
     OR folder MATCHES "^(tests|bench)$")
    continue()
  endif()
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file ${files})
    math(EXPR checked "${checked} + 1")
    get_filename_component(name ${file} NAME)
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line ${includes})
      if(NOT line MATCHES "\"([A-Za-z0-9_]+)/([A-Za-z0-9_]+\\.h)\"")
        continue()
      endif()
      set(to_folder ${CMAKE_MATCH_1})
      set(header ${CMAKE_MATCH_2})
      if(NOT header MATCHES "^(tfm[A-Za-z0-9_]*|aboutbox|helpviewer)\\.h$"
         OR file MATCHES "^shell/(main|startup)\\.cpp$")
        continue()
      endif()
      if(NOT to_folder STREQUAL folder)
        list(APPEND problems "${file} includes ${to_folder}/${header}: go through the door in ${to_folder}/")
      elseif(header MATCHES "^tfm" AND NOT name MATCHES "^tfm" AND NOT name MATCHES "door\\.cpp$")
        list(APPEND problems "${file} includes ${to_folder}/${header}: only the window's own files and its door do")
      endif()
    endforeach()

    file(READ ${SOURCE_DIR}/${file} text)
    string(REGEX MATCHALL "(windows\\(\\)\\.|Windows::)(fm[A-Za-z0-9_]+|AboutBox)" uses "${text}")
    list(REMOVE_DUPLICATES uses)
    foreach(use ${uses})
      string(REGEX REPLACE "^.*[.:]" "" ref ${use})
      if(ref STREQUAL "fmNirel3" OR folder STREQUAL "state")
        continue()
      endif()
      if(NOT DEFINED home_${ref})
        list(APPEND problems "${file} uses ${use}, which has no window folder here")
      elseif(NOT home_${ref} STREQUAL folder)
        list(APPEND problems "${file} uses ${use}: go through the door in ${home_${ref}}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no source files found under ${SOURCE_DIR}")
endif()
if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Windows reached past their doors:\n  ${text}")
endif()
message(STATUS "${checked} source files: every window is reached through its door")
