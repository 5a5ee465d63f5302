# Warnings and sanitizers that every target of ours gets.
add_library(korvane_defaults INTERFACE)
target_compile_options(korvane_defaults INTERFACE -Wall -Wextra -Werror)
target_include_directories(korvane_defaults INTERFACE ${PROJECT_SOURCE_DIR})

if(KORVANE_SANITIZE AND NOT WIN32)
    target_compile_options(korvane_defaults INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(korvane_defaults INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
    # A self-contained executable: only system DLLs are imported.
    target_link_options(korvane_defaults INTERFACE -static -static-libgcc -static-libstdc++)
endif()
