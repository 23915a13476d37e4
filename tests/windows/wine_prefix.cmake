# ACTION=start: creates the Wine prefix PREFIX that the Windows tests share
# and keeps a Wine server for it running. The first start of Wine in a new
# prefix takes several seconds, so it happens once, before the tests, and
# not in two of them at the same time; the server that stays saves every
# later start of Wine a second or two.
# ACTION=stop: ends that server.
# Prints "SKIPPED: ..." where Wine is not installed.
if(NOT WINE OR NOT WINESERVER)
  message("SKIPPED: Wine is not installed (Debian package wine64)")
  return()
endif()

set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
# No prompts to install Mono or Gecko, which nothing here needs.
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")

# The server must not hold the test's output streams open: CTest would wait
# for it to end.
set(log "${PREFIX}-${ACTION}.log")
set(quiet INPUT_FILE /dev/null OUTPUT_FILE "${log}" ERROR_FILE "${log}")

if(ACTION STREQUAL "start")
  file(MAKE_DIRECTORY "${PREFIX}")
  # Stays up to a minute after the last Wine program has ended.
  execute_process(COMMAND "${WINESERVER}" -p60 ${quiet} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${WINESERVER} -p60 failed (${status}); see ${log}")
  endif()
  execute_process(COMMAND "${WINE}" wineboot --init ${quiet} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "wineboot --init failed (${status}); see ${log}")
  endif()
elseif(ACTION STREQUAL "stop")
  execute_process(COMMAND "${WINESERVER}" -k ${quiet})
else()
  message(FATAL_ERROR "ACTION must be start or stop")
endif()
