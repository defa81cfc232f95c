# Printer discovery against the private scheduler, beside `lpstat -v` on the same scheduler.
# Built, not run by ctest (it starts cupsd and creates 200 queues): run it by hand as root.
add_executable(bench_printer ${CMAKE_CURRENT_LIST_DIR}/bench_printer.cpp)
target_link_libraries(bench_printer PRIVATE vellmark_printer vellmark_test_spooler
                      benchmark::benchmark)
