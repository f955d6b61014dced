# Installs the build into a scratch prefix and checks that the module and its
# manual land in one folder, as the editor's manual link expects, and that
# the manual files are what they claim to be.
# Usage: cmake -DBUILD_DIR=... -DPREFIX=... -DVST_DIR=lib/vst -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(folder ${PREFIX}/${VST_DIR})
foreach(name Sorvano.so Sorvano_manual.pdf Sorvano_manual.html)
  if(NOT EXISTS ${folder}/${name})
    message(FATAL_ERROR "${name} is not installed in ${folder}")
  endif()
endforeach()

file(READ ${folder}/Sorvano_manual.pdf head LIMIT 5 HEX)
if(NOT head STREQUAL "255044462d")  # "%PDF-"
  message(FATAL_ERROR "Sorvano_manual.pdf does not start as a PDF file")
endif()
# The HTML copy stands alone: its picture of the editor is inside it.
file(STRINGS ${folder}/Sorvano_manual.html embedded REGEX "<img[^>]*src=\"data:image/png;base64,")
if(NOT embedded)
  message(FATAL_ERROR "Sorvano_manual.html does not carry the editor picture")
endif()
file(REMOVE_RECURSE ${PREFIX})
