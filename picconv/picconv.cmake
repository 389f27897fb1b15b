# The GIF converter: giflib reads the first frame, the bitmap surface writes the result.
find_library(GIF_LIBRARY gif REQUIRED)
find_path(GIF_INCLUDE_DIR gif_lib.h REQUIRED)

# The decoding path on its own, for the program, the tests and the fuzz target.
add_library(gifdecode STATIC ${CMAKE_CURRENT_LIST_DIR}/gif_decoder.cpp)
target_include_directories(gifdecode PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${GIF_INCLUDE_DIR})
target_link_libraries(gifdecode PUBLIC ${GIF_LIBRARY})

add_library(gifbitmap STATIC ${CMAKE_CURRENT_LIST_DIR}/gif_to_bitmap.cpp)
target_link_libraries(gifbitmap PUBLIC gifdecode qavbitmap)

add_executable(picconv ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(picconv PRIVATE gifbitmap)
# An internal helper of the viewer and qavconv, not a command for people.
install(TARGETS picconv RUNTIME DESTINATION ${QAV_CONVERTER_INSTALL_DIR})
