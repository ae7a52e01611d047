# Writes help2man's include file: the options of each subcommand, as `plumwick <command> --help` prints them,
# so that the manual page lists them too. Run as
#   cmake -DPROGRAM=<plumwick> -DOUTPUT=<file> -P ManualSections.cmake
set(text "")
foreach(command render extract)
  execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${command} --help failed")
  endif()
  # Roff: a backslash is written \e, and a line may not begin with a control character.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(TOUPPER ${command} title)
  string(APPEND text "[COMMAND ${title}]\n.nf\n${help}.fi\n\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")
