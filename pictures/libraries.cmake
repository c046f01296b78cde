# The two picture libraries of zwirlo60: animals (beastpix60) and European birds
# (wingpix60), beside the programs in the build, in lib/zwirlo when installed. Each is a
# module exporting only zw_resources.
set(ZW_PICTURE_LIBS beastpix60:animals wingpix60:birds)
foreach(pair ${ZW_PICTURE_LIBS})
  string(REPLACE ":" ";" parts "${pair}")
  list(GET parts 0 lib)
  list(GET parts 1 set)
  set(dir ${CMAKE_BINARY_DIR}/gen/${lib})
  set(files ${dir}/card.bmp ${dir}/void.bmp)
  set(items "BITMAP:card:${dir}/card.bmp" "BITMAP:void:${dir}/void.bmp")
  foreach(n RANGE 1 60)
    list(APPEND files ${dir}/pic${n}.bmp)
    list(APPEND items "BITMAP:pic${n}:${dir}/pic${n}.bmp")
  endforeach()
  add_custom_command(
    OUTPUT ${files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND zw_genpictures ${set} ${dir}
    DEPENDS zw_genpictures
    COMMENT "Rendering the ${set} cards"
    VERBATIM)
  set(table ${CMAKE_CURRENT_BINARY_DIR}/${lib}_table.cpp)
  add_custom_command(
    OUTPUT ${table}
    COMMAND zw_embed ${table} pictureTable ${items}
    DEPENDS zw_embed ${files}
    COMMENT "Embedding the ${set} cards"
    VERBATIM)
  set_source_files_properties(${table} PROPERTIES COMPILE_OPTIONS "-g0;-O0")

  add_library(${lib} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/library.cpp ${table})
  target_include_directories(${lib} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${lib} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                                          VISIBILITY_INLINES_HIDDEN ON)
  install(TARGETS ${lib} LIBRARY DESTINATION ${ZW_LIBRARY_INSTALL_DIR})
  # Whatever links the program resources runs with the libraries beside it.
  add_dependencies(zwresources ${lib})

  set(sheet ${CMAKE_BINARY_DIR}/sheets/${set}.png)
  add_custom_command(
    OUTPUT ${sheet}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/sheets
    COMMAND zw_sheet ${sheet} ${dir} 10
    DEPENDS zw_sheet ${files}
    VERBATIM)
  add_custom_target(zw_sheet_${set} ALL DEPENDS ${sheet})
endforeach()
