# SPDX-License-Identifier: Apache-2.0
# The icon menu: building menu 142 with its pictures, and drawing an open popup.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(bench_ui ${CMAKE_CURRENT_SOURCE_DIR}/bench_ui.cpp)
target_link_libraries(bench_ui PRIVATE vellmark_ui benchmark::benchmark)
