# Runs the demo for a fixed number of frames with the given video backend and compares its
# screenshot with the reference byte for byte.
# -DDEMO=program -DVIDEO=headless|sdl -DOUTPUT=file -DREFERENCE=file
set(ENV{TQ_VIDEO} ${VIDEO})
set(ENV{SDL_AUDIODRIVER} dummy)
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${DEMO} --frames 120 --screenshot ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the demo failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${REFERENCE} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "the screenshot ${OUTPUT} differs from ${REFERENCE}")
endif()
