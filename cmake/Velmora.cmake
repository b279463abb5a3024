# Helpers shared by the folders' CMakeLists.

# Adds every direct child folder of the current folder that has a CMakeLists.txt.
function(velmora_add_child_dirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# velmora_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [LOCKS <resources...>])
# One GoogleTest executable; each test case becomes a CTest test carrying the
# labels. Tests sharing a lock never run at the same time (e.g. tests that
# start or look for the product's running program).
function(velmora_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;LOCKS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  set(labels ${T_LABELS})
  if(NOT labels)
    set(labels quick)
  endif()
  set(properties LABELS "${labels}" TIMEOUT 300)
  if(T_LOCKS)
    list(APPEND properties RESOURCE_LOCK "${T_LOCKS}")
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
