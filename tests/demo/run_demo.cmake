# Runs every scene of the demo for a fixed number of frames with the given video backend and
# compares each scene's screenshot with its reference byte for byte.
# -DDEMO=program -DTQASSETS=program -DVIDEO=headless|sdl -DOUTPUT=folder -DREFERENCES=folder
# With -DUPDATE=ON the screenshots become the new references instead (look at them before
# committing).
set(FRAMES 30)
set(SCENES sprites animations particles mesh gui helpers)
set(ENV{TQ_VIDEO} ${VIDEO})
set(ENV{SDL_AUDIODRIVER} dummy)
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
execute_process(COMMAND ${DEMO} --scene all --frames ${FRAMES} --screenshot ${OUTPUT}/shot.bmp
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the demo failed (${result})")
endif()
set(failed "")
foreach(scene ${SCENES})
  set(shot ${OUTPUT}/${scene}.png)
  execute_process(COMMAND ${TQASSETS} --thumbnail ${OUTPUT}/shot-${scene}.bmp ${shot} 1 RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    list(APPEND failed "${scene} (no screenshot)")
  elseif(UPDATE)
    file(COPY ${shot} DESTINATION ${REFERENCES})
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${shot} ${REFERENCES}/${scene}.png
                    RESULT_VARIABLE differs)
    if(differs)
      list(APPEND failed "${scene} (${shot} differs from ${REFERENCES}/${scene}.png)")
    endif()
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "scenes failing: ${failed}")
endif()
