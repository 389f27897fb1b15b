# Warnings, sanitizers and fuzzing instrumentation for every target of the tree.
add_compile_options(-Wall -Wextra)
if(QAV_WERROR)
  add_compile_options(-Werror)
endif()

if(QAV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QAV_FUZZ needs clang (libFuzzer)")
  endif()
  set(QAV_SANITIZE ON)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(QAV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds a libFuzzer target built from one source file, linked with the given libraries.
function(qav_add_fuzzer name source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
