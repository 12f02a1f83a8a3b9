# Prints a firmware image's size and fails when it does not fit the chip:
# flash below the Nano's 2 KiB bootloader (the Uno's is 512 bytes), and
# static RAM leaving at least 512 of the 2048 bytes to the stack.
# Usage: cmake -DELF=<file> -DAVR_SIZE=<avr-size> -P CheckSize.cmake
set(flash_limit 30720)
set(ram_limit 1536)

execute_process(COMMAND ${AVR_SIZE} -A ${ELF} OUTPUT_VARIABLE sections RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "avr-size failed on ${ELF}")
endif()
set(text 0)
set(data 0)
set(bss 0)
foreach(section text data bss)
  if(sections MATCHES "\n\\.${section} +([0-9]+)")
    set(${section} ${CMAKE_MATCH_1})
  endif()
endforeach()
math(EXPR flash "${text} + ${data}")
math(EXPR ram "${data} + ${bss}")
get_filename_component(name ${ELF} NAME)
message(STATUS "${name}: flash ${flash} of ${flash_limit} bytes, static RAM ${ram} of ${ram_limit} bytes")
if(flash GREATER flash_limit OR ram GREATER ram_limit)
  message(FATAL_ERROR "${name} does not fit the ATmega328P")
endif()
