# The manual page of torvex-run (or kavel-run) documents every option, subcommand and exit
# status that `--help` lists, and the options of each subcommand.
#   cmake -DRUN=<torvex-run> -DPAGE=<packaging/torvex-run.1> -P man_page_test.cmake
execute_process(COMMAND ${RUN} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${RUN} --help: exit ${status}")
endif()
file(READ ${PAGE} page)
string(REPLACE "\\-" "-" page "${page}")

# The options of the program and of each subcommand it lists.
set(texts "${help}")
set(missing "")
if(help MATCHES "Subcommands \\(each with --help\\): ([a-z, -]+)")
  string(REPLACE "," ";" subcommands "${CMAKE_MATCH_1}")
  foreach(subcommand ${subcommands})
    string(STRIP "${subcommand}" subcommand)
    if(NOT page MATCHES "\n\\.BI? ${subcommand}[ \n]")
      list(APPEND missing "subcommand ${subcommand}")
    endif()
    execute_process(COMMAND ${RUN} ${subcommand} --help OUTPUT_VARIABLE subhelp)
    string(APPEND texts "${subhelp}")
  endforeach()
endif()
string(REGEX MATCHALL "--[a-z][a-z-]*" options "${texts}")
list(REMOVE_DUPLICATES options)
foreach(option ${options})
  string(FIND "${page}" "${option}" at)
  if(at EQUAL -1)
    list(APPEND missing ${option})
  endif()
endforeach()

# "Exit status: 0 completed, 3 the variant ..., 2 bad input, ...": each
# number starts an entry of the page's EXIT STATUS section.
string(FIND "${help}" "Exit status:" from)
string(SUBSTRING "${help}" ${from} -1 statuses)
string(REGEX MATCHALL "[:,][ \n]+[0-9]+ " codes "${statuses}")
foreach(code ${codes})
  string(REGEX REPLACE "[^0-9]" "" code "${code}")
  if(NOT page MATCHES "\n\\.B ${code}\n")
    list(APPEND missing "exit status ${code}")
  endif()
endforeach()

if(missing)
  message(FATAL_ERROR "${PAGE} does not document: ${missing}")
endif()
