# SPDX-License-Identifier: Apache-2.0
# The program's start-up until its main window's first paint, as a process timed from outside,
# beside a minimal Qt Widgets program built here. Built, not run by ctest (it starts cupsd): run
# it by hand as root.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(bench_minimal_dialog ${CMAKE_CURRENT_LIST_DIR}/minimal_dialog.cpp)
target_link_libraries(bench_minimal_dialog PRIVATE Qt6::Widgets)

add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE vellmark_test_spooler benchmark::benchmark)
target_compile_definitions(bench_startup PRIVATE
  VELLMARK_EXE="$<TARGET_FILE:vellmark>"
  VELLMARK_MINIMAL_EXE="$<TARGET_FILE:bench_minimal_dialog>")
add_dependencies(bench_startup vellmark bench_minimal_dialog)

# One send from the window (Ctrl+W, offscreen) to the last byte at a simulated printer, beside
# `lp -o raw` of the same bytes to the same queue. Built, not run by ctest (it starts cupsd):
# run it by hand as root.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(bench_send ${CMAKE_CURRENT_LIST_DIR}/bench_send.cpp)
target_include_directories(bench_send PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
target_link_libraries(bench_send PRIVATE vellmark_app vellmark_test_spooler Qt6::Test
                      benchmark::benchmark)
