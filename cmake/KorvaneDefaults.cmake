# Warnings and sanitizers that every target of ours gets.
add_library(korvane_defaults INTERFACE)
target_compile_options(korvane_defaults INTERFACE -Wall -Wextra -Werror)
target_include_directories(korvane_defaults INTERFACE ${PROJECT_SOURCE_DIR})

if(KORVANE_SANITIZE AND NOT WIN32)
    target_compile_options(korvane_defaults INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(korvane_defaults INTERFACE -fsanitize=address,undefined)
endif()

# A fuzzer can only steer by the coverage of the code it drives, so every library of ours
# carries libFuzzer's coverage counters in the fuzz build. Vectors there also poison their
# spare capacity, so that buffers reused between inputs still catch reads past their size.
# The dynamic-type check stays with the sanitized native build: here it puts a traced
# comparison into every call on the grid and the random source, and halves the pace.
if(KORVANE_BUILD_FUZZERS AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(korvane_defaults INTERFACE -fsanitize=fuzzer-no-link -fno-sanitize=vptr)
    target_compile_definitions(korvane_defaults INTERFACE _GLIBCXX_SANITIZE_VECTOR=1)
    target_link_options(korvane_defaults INTERFACE -fsanitize=fuzzer-no-link)
endif()

if(WIN32)
    # A self-contained executable: only system DLLs are imported.
    target_link_options(korvane_defaults INTERFACE -static -static-libgcc -static-libstdc++)
endif()
