# SPDX-License-Identifier: Apache-2.0
# The help, vlmk90.html, beside the vellmark executable where its Help command looks first, with
# the pictures of the pages in vlmk90/ next to it. The pictures are drawn at build time by the
# page render tool, so they always show the pages as built. Installed into share/vellmark/ (the
# pictures into share/vellmark/vlmk90/). Included from app/ once the executable exists.

set(help_out ${CMAKE_CURRENT_BINARY_DIR})
set(help_source ${PROJECT_SOURCE_DIR}/res/help/vlmk90.html)
set(help_pictures)
foreach(name page_134_select page_171_form page_133_param page_129_msw1 page_130_msw2
             page_131_msw3 page_132_msw4 dialog_175_form_setup)
  list(APPEND help_pictures ${help_out}/vlmk90/${name}.png)
endforeach()

# Every picture the help shows is one the render tool draws.
file(READ ${help_source} help_text)
string(REGEX MATCHALL "src=\"vlmk90/[^\"]+\"" help_sources "${help_text}")
foreach(src ${help_sources})
  string(REGEX REPLACE "src=\"(vlmk90/[^\"]+)\"" "${help_out}/\\1" picture "${src}")
  if(NOT picture IN_LIST help_pictures)
    message(FATAL_ERROR "vlmk90.html shows ${src}, which the render tool does not draw")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${help_source})

add_custom_command(
  OUTPUT ${help_out}/vlmk90.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${help_source} ${help_out}/vlmk90.html
  DEPENDS ${help_source}
  VERBATIM)
add_custom_command(
  OUTPUT ${help_pictures}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:vellmark-render-pages> ${help_out}/vlmk90
  # Fails when the tool no longer draws one of the pictures.
  COMMAND ${CMAKE_COMMAND} -E md5sum ${help_pictures}
  DEPENDS vellmark-render-pages
  COMMENT "Drawing the pages for the help"
  VERBATIM)
add_custom_target(vellmark_help ALL DEPENDS ${help_out}/vlmk90.html ${help_pictures})
add_dependencies(vellmark vellmark_help)

install(FILES ${help_pictures} DESTINATION share/vellmark/vlmk90)
