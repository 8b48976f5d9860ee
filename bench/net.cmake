# Sharing-service client: cutting a stream into parts with a no-op transport,
# and a whole-file upload to the reference server (see net/upload_file.sh).
add_executable(velloq_stream_append_bench net/StreamAppendBench.cpp net/BenchPlatform.cpp)
target_link_libraries(velloq_stream_append_bench PRIVATE velloq_net benchmark::benchmark_main)
velloq_warnings(velloq_stream_append_bench)

add_executable(velloq_upload_file_bench net/UploadFileBench.cpp net/BenchPlatform.cpp)
target_link_libraries(velloq_upload_file_bench PRIVATE velloq_net velloq_platform_curl)
velloq_warnings(velloq_upload_file_bench)
