# Hotkey to painted capture overlay. See bench/overlay_latency.sh.
pkg_check_modules(PROBE_X11 REQUIRED IMPORTED_TARGET x11 xtst)
add_executable(overlay_probe "${CMAKE_CURRENT_LIST_DIR}/OverlayProbe.cpp")
target_link_libraries(overlay_probe PRIVATE PkgConfig::PROBE_X11)
velloq_warnings(overlay_probe)
