# qavconv: the viewer's headless twin (File > Open, optional Effects > Reiterate, File > Save).
add_executable(qavconv ${CMAKE_CURRENT_LIST_DIR}/qavconv.cpp)
target_link_libraries(qavconv PRIVATE qavviewer)
