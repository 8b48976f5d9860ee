# Our own targets build with warnings as errors; third-party headers come in as
# system includes so their warnings never stop the build. The flow-analysis
# warnings GCC 12 raises inside inlined libstdc++ code at -O2 and above
# (null-dereference, restrict, maybe-uninitialized, stringop-*) are false
# positives often enough that they stay warnings rather than errors.
function(velloq_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wimplicit-fallthrough -Werror -Wno-error=restrict -Wno-error=maybe-uninitialized
    -Wno-error=stringop-overflow -Wno-error=stringop-overread -Wno-error=array-bounds)
endfunction()
