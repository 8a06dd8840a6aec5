# Warnings are errors in our own code; third-party headers come in as system includes.
add_library(sornel_warnings INTERFACE)
target_compile_options(sornel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast -Wnon-virtual-dtor
    -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
