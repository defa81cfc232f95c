# SPDX-License-Identifier: Apache-2.0
# Printer discovery against the private scheduler, beside `lpstat -v` on the same scheduler.
# Built, not run by ctest (it starts cupsd and creates 200 queues): run it by hand as root.
add_executable(bench_printer ${CMAKE_CURRENT_LIST_DIR}/bench_printer.cpp)
target_link_libraries(bench_printer PRIVATE vellmark_printer vellmark_test_spooler
                      benchmark::benchmark)

# One settings file to 8 private schedulers with 4 simulated printers each: over slow links
# (25 ms each way), the 32 printers in one command beside one printer; without latency, the
# parallel send --all over every server beside one single-server send --all per server in turn.
# Built, not run by ctest: run it by hand as root.
add_executable(bench_fleet ${CMAKE_CURRENT_LIST_DIR}/bench_fleet.cpp)
target_link_libraries(bench_fleet PRIVATE vellmark_printer vellmark_test_spooler
                      benchmark::benchmark)
target_compile_definitions(bench_fleet PRIVATE VELLMARK_CLI="$<TARGET_FILE:vellmark-cli>")
add_dependencies(bench_fleet vellmark-cli)

# The fleet at scale: 100 servers (10 silent, 5 refusing), 200 printers that take a second to
# read a job; the whole run beside the bound the manual states and beside one send. Built, not
# run by ctest: run it by hand as root.
add_executable(bench_fleet_scale ${CMAKE_CURRENT_LIST_DIR}/bench_fleet_scale.cpp)
target_link_libraries(bench_fleet_scale PRIVATE vellmark_printer vellmark_test_spooler
                      benchmark::benchmark)
target_compile_definitions(bench_fleet_scale PRIVATE VELLMARK_CLI="$<TARGET_FILE:vellmark-cli>")
add_dependencies(bench_fleet_scale vellmark-cli)
