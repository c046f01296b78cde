# Generated resources of the two programs: the four sounds (both programs) and zwirlo3's
# own card pictures. Rendered once per change of their generator, never at run time.
set(ZW_GEN ${CMAKE_BINARY_DIR}/gen)

set(ZW_SOUND_FILES)
foreach(snd myscore yourscore robot conlost)
  list(APPEND ZW_SOUND_FILES ${ZW_GEN}/${snd}.wav)
  list(APPEND ZW_RES60 "WAVE:${snd}:${ZW_GEN}/${snd}.wav")
  list(APPEND ZW_RES3 "WAVE:${snd}:${ZW_GEN}/${snd}.wav")
endforeach()
add_custom_command(
  OUTPUT ${ZW_SOUND_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZW_GEN}
  COMMAND zw_gensounds ${ZW_GEN}
  DEPENDS zw_gensounds
  COMMENT "Synthesising the sounds"
  VERBATIM)

set(ZW_GREEK_DIR ${ZW_GEN}/greek)
set(ZW_GREEK_FILES ${ZW_GREEK_DIR}/card.bmp ${ZW_GREEK_DIR}/void.bmp)
list(APPEND ZW_RES3 "BITMAP:CARD:${ZW_GREEK_DIR}/card.bmp" "BITMAP:VOID:${ZW_GREEK_DIR}/void.bmp")
foreach(n RANGE 1 48)
  list(APPEND ZW_GREEK_FILES ${ZW_GREEK_DIR}/pic${n}.bmp)
  list(APPEND ZW_RES3 "BITMAP:PIC${n}:${ZW_GREEK_DIR}/pic${n}.bmp")
endforeach()
add_custom_command(
  OUTPUT ${ZW_GREEK_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZW_GREEK_DIR}
  COMMAND zw_genpictures greek ${ZW_GREEK_DIR}
  DEPENDS zw_genpictures
  COMMENT "Rendering the Greek alphabet cards"
  VERBATIM)

list(APPEND ZW_RES_DEPENDS ${ZW_SOUND_FILES} ${ZW_GREEK_FILES})

# A contact sheet of the set, to look the pictures over.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/sheets/greek.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/sheets
  COMMAND zw_sheet ${CMAKE_BINARY_DIR}/sheets/greek.png ${ZW_GREEK_DIR} 8
  DEPENDS zw_sheet ${ZW_GREEK_FILES}
  VERBATIM)
add_custom_target(zw_sheet_greek ALL DEPENDS ${CMAKE_BINARY_DIR}/sheets/greek.png)
