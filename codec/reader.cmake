# qavcodec: the QAV file record, the reader and the fractal decode thread.
find_package(Threads REQUIRED)
add_library(qavcodec STATIC
  ${CMAKE_CURRENT_LIST_DIR}/qav_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qav_file_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qav_header_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qav_stream_unpack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_parameter_unpack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tthread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qav_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qav_reader.cpp)
target_include_directories(qavcodec PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qavcodec PUBLIC qavstreams qavfractal qavbitmap Threads::Threads)
