# qavenc: Windows bitmap in, QAV file out, any storage method.
add_executable(qavenc ${CMAKE_CURRENT_LIST_DIR}/qavenc.cpp)
target_link_libraries(qavenc PRIVATE qavencoder qavbitmap qavfractal)
