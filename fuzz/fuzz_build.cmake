# The fuzz build: clang's libFuzzer with address and undefined-behaviour
# sanitizers. Every object is instrumented for coverage; only the targets
# link the fuzzing engine, which brings its own main.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "the fuzz build needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
set(FWU_FUZZ_SANITIZERS address,undefined)
add_compile_options(-fsanitize=fuzzer-no-link,${FWU_FUZZ_SANITIZERS} -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=${FWU_FUZZ_SANITIZERS})
