# Runs qmllint over every QML file of the interface; fails on any warning it reports.
file(GLOB_RECURSE files ${SOURCE_DIR}/qml/*.qml)
execute_process(
    COMMAND ${QMLLINT} --unqualified disable -I ${SOURCE_DIR}/qml -I ${SOURCE_DIR}/qml/components ${files}
    WORKING_DIRECTORY ${SOURCE_DIR}/qml
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "qmllint reported:\n${output}")
endif()
list(LENGTH files count)
message(STATUS "qmllint: ${count} files clean")
