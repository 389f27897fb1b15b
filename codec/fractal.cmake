# The fractal block decoders (table-driven and direct) and their worker pool.
find_package(Threads REQUIRED)
add_library(qavfractal STATIC
  ${CMAKE_CURRENT_LIST_DIR}/fractal_direct_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_kernel_level.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_pixel_ops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_shrink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_table_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fractal_work.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parallel_for.cpp
)
target_include_directories(qavfractal PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(qavfractal PUBLIC Threads::Threads)
