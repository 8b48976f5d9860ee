# PNG encoding and desktop snapshot speed; bench/capture_bench.sh runs them.
find_package(PNG REQUIRED)
add_executable(png_bench "${CMAKE_CURRENT_LIST_DIR}/PngBench.cpp")
target_link_libraries(png_bench PRIVATE velloq_capture PNG::PNG benchmark::benchmark)
target_compile_definitions(png_bench PRIVATE VELLOQ_BENCH_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
velloq_warnings(png_bench)

add_executable(make_bench_images "${CMAKE_CURRENT_LIST_DIR}/MakeBenchImages.cpp")
target_link_libraries(make_bench_images PRIVATE velloq_capture)
velloq_warnings(make_bench_images)

pkg_check_modules(BENCH_X11 REQUIRED IMPORTED_TARGET x11 xext)
add_executable(snapshot_bench "${CMAKE_CURRENT_LIST_DIR}/SnapshotBench.cpp")
target_compile_definitions(snapshot_bench PRIVATE VELLOQ_BENCH_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
target_link_libraries(snapshot_bench PRIVATE velloq_capture velloq_platform_x11_screens
  PkgConfig::BENCH_X11 benchmark::benchmark)
velloq_warnings(snapshot_bench)
