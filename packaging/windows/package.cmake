# SPDX-License-Identifier: MIT
# Stages the files the user gets (the stripped program, Words.TxT, the licence and NOTICE with
# Windows line ends, so that any editor shows them right) in WORK/NAME, then makes the installer
# with makensis and the portable zip of that folder. Run by the target windows_package.
foreach(variable NAME VERSION PROGRAM MAKENSIS SOURCE WORK INSTALLER ZIP)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "package.cmake needs -D${variable}=...")
  endif()
endforeach()

set(stage ${WORK}/${NAME})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY_FILE ${PROGRAM} ${stage}/lexitrove.exe)
if(STRIP)
  execute_process(COMMAND ${STRIP} --strip-all ${stage}/lexitrove.exe COMMAND_ERROR_IS_FATAL ANY)
endif()
# The word list goes byte for byte: the program reads any line ends.
file(COPY_FILE ${SOURCE}/data/Words.TxT ${stage}/Words.TxT)
foreach(text LICENSE NOTICE)
  file(READ ${SOURCE}/${text} content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${stage}/${text}.txt "${content}")
endforeach()

execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${stage}
                        -DICON=${SOURCE}/packaging/lexitrove.ico -DOUTFILE=${INSTALLER}
                        ${SOURCE}/packaging/windows/lexitrove.nsi
                COMMAND_ERROR_IS_FATAL ANY)

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${NAME}
                WORKING_DIRECTORY ${WORK} COMMAND_ERROR_IS_FATAL ANY)
