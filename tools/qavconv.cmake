# qavconv: the viewer's headless twin (File > Open, optional Effects > Reiterate, File > Save
# or PNG), for one file or a whole folder of them.
add_executable(qavconv
  ${CMAKE_CURRENT_LIST_DIR}/qavconv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qavconv_batch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qavconv_command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qavconv_convert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/atomic_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/interrupt_cleanup.cpp
)
find_package(Threads REQUIRED)
target_link_libraries(qavconv PRIVATE qavviewer qavpng Threads::Threads)
