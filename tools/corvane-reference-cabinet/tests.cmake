# The reference account service's own tests (included by tests/CMakeLists.txt).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME reference_cabinet
    COMMAND ${CMAKE_SOURCE_DIR}/tests/run-isolated.sh
            ${CMAKE_BINARY_DIR}/test-scratch/reference_cabinet
            ${Python3_EXECUTABLE} -m unittest -v test_reference_cabinet
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tools/corvane-reference-cabinet)
set_tests_properties(reference_cabinet PROPERTIES TIMEOUT 120)
