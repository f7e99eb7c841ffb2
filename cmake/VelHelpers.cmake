# Adds every immediate subfolder of DIR that has a CMakeLists.txt, so a new
# area of tests or tools needs no edit of a shared list.
function(vel_add_subdirectories dir)
  file(GLOB _children LIST_DIRECTORIES true "${dir}/*")
  list(SORT _children)
  foreach(_child IN LISTS _children)
    if(IS_DIRECTORY "${_child}" AND EXISTS "${_child}/CMakeLists.txt")
      add_subdirectory("${_child}")
    endif()
  endforeach()
endfunction()

# vel_add_test(<name> SOURCES ... [LABELS unit|integration|gui|e2e] [LIBS ...]
#              [ENVIRONMENT K=V ...] [TIMEOUT s] [RESOURCE_LOCK name])
# One Qt Test executable registered with CTest. Tests link the core library
# (and the GUI library when labelled gui or e2e).
function(vel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT;RESOURCE_LOCK" "SOURCES;LABELS;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE travik_core Qt6::Test ${T_LIBS})
  if("gui" IN_LIST T_LABELS OR "e2e" IN_LIST T_LABELS)
    target_link_libraries(${name} PRIVATE travik_gui)
  endif()
  target_compile_definitions(${name} PRIVATE
    VEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VEL_BINARY_DIR="${CMAKE_BINARY_DIR}"
    VEL_APP_PATH="$<TARGET_FILE:travik-vazade>")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
  if(T_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
  # Windows on the one shared X display take the keyboard focus from each
  # other: tests that show any run one at a time.
  set(_locks ${T_RESOURCE_LOCK})
  if("gui" IN_LIST T_LABELS OR "e2e" IN_LIST T_LABELS)
    list(APPEND _locks x11-display)
  endif()
  if(_locks)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${_locks}")
  endif()
endfunction()

# vel_add_fuzzer(<name> SOURCES ... [LIBS ...]): a libFuzzer target (clang),
# built by the "fuzz" target of a -DVEL_BUILD_FUZZ=ON build.
function(vel_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz ${name})
endfunction()
