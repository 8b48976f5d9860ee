# Markup editor drawing: the full-size export and one on-screen canvas repaint.
# Run: QT_QPA_PLATFORM=offscreen <build>/bench/editor_render
add_executable(editor_render "${CMAKE_CURRENT_LIST_DIR}/editor_render.cpp")
target_link_libraries(editor_render PRIVATE velloq_app benchmark::benchmark)
velloq_warnings(editor_render)
