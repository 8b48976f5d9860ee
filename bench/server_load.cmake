# Load check of the reference sharing service (not a timed benchmark): many
# clients against a live server in another process. Run it with
# bench/server_load.sh <build dir>.
find_package(CURL REQUIRED)
find_package(ZLIB REQUIRED)
add_executable(velloq_server_load
  "${CMAKE_CURRENT_LIST_DIR}/server_load.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/../tests/server/HttpClient.cpp")
target_include_directories(velloq_server_load PRIVATE "${CMAKE_CURRENT_LIST_DIR}/../tests/server")
target_link_libraries(velloq_server_load PRIVATE velloq_server_lib CURL::libcurl ZLIB::ZLIB)
velloq_warnings(velloq_server_load)

add_executable(velloq_server_slow_probe
  "${CMAKE_CURRENT_LIST_DIR}/server_load_slow.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/../tests/server/HttpClient.cpp")
target_include_directories(velloq_server_slow_probe PRIVATE "${CMAKE_CURRENT_LIST_DIR}/../tests/server")
target_link_libraries(velloq_server_slow_probe PRIVATE CURL::libcurl)
velloq_warnings(velloq_server_slow_probe)
