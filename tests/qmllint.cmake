# Runs qmllint over every QML file of the interface, with every warning category on, against the
# built module (its type descriptions tell qmllint the back-end objects the pages use); fails on
# any warning it reports.
file(GLOB_RECURSE files ${SOURCE_DIR}/qml/*.qml)
execute_process(
    COMMAND ${QMLLINT} -I ${MODULE_DIR} ${files}
    WORKING_DIRECTORY ${SOURCE_DIR}/qml
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "qmllint reported:\n${output}")
endif()
list(LENGTH files count)
message(STATUS "qmllint: ${count} files clean")
