# The GIF converter: our own GIF decoder, the bitmap surface writes the result.

# The decoding path on its own, for the program, the tests and the fuzz target.
add_library(gifdecode STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gif_canvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_lzw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_records.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gif_sentences.cpp)
target_include_directories(gifdecode PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The pixel limit that every reader keeps.
target_link_libraries(gifdecode PUBLIC qavbitmap)

add_library(gifbitmap STATIC ${CMAKE_CURRENT_LIST_DIR}/gif_to_bitmap.cpp)
target_link_libraries(gifbitmap PUBLIC gifdecode qavbitmap)

add_executable(picconv ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
# The viewer's file reading and its sentences for files that cannot be read.
target_link_libraries(picconv PRIVATE gifbitmap qavviewer)
# An internal helper of the viewer and qavconv, not a command for people.
install(TARGETS picconv RUNTIME DESTINATION ${QAV_CONVERTER_INSTALL_DIR})
