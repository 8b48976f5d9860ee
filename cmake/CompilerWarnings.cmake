# Our own targets build with warnings as errors; third-party headers come in as
# system includes so their warnings never stop the build.
function(velloq_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wimplicit-fallthrough -Werror)
endfunction()
