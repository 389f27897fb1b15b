# Run-length coding and Huffman stream decoding.
add_library(qavstreams STATIC
  ${CMAKE_CURRENT_LIST_DIR}/rle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/huffman.cpp
  ${CMAKE_CURRENT_LIST_DIR}/huffman_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/huffman_lookup.cpp
)
target_include_directories(qavstreams PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
