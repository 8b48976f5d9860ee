# A constantly changing screen for bench/record_bench.sh.
pkg_check_modules(RECORD_BENCH_X11 REQUIRED IMPORTED_TARGET x11)
add_executable(moving_screen "${CMAKE_CURRENT_LIST_DIR}/MovingScreen.cpp")
target_link_libraries(moving_screen PRIVATE PkgConfig::RECORD_BENCH_X11)
velloq_warnings(moving_screen)
