# SPDX-License-Identifier: Apache-2.0
# The settings pages: the data check every user change runs, and the creation of the pages.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(bench_pages ${CMAKE_CURRENT_SOURCE_DIR}/bench_pages.cpp)
target_link_libraries(bench_pages PRIVATE vellmark_pages benchmark::benchmark)
