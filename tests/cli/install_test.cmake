# Installs the library into a fresh prefix, then builds and runs a program
# against it twice: through find_package(Lexaro) and through pkg-config.
# Run with -DBUILD_DIR= -DSOURCE_DIR= -DWORK_DIR= -DCXX=, and the build's
# -DCXX_FLAGS= and -DLINK_FLAGS= (a sanitizer build needs its runtime in the
# programs too).
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component lexaro)

foreach(path bin/lexaro include/lexaro/lexaro.h share/lexaro/samples/1001-sample1.lxm)
  if(NOT EXISTS ${prefix}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(GLOB pcfile ${prefix}/lib*/pkgconfig/lexaro.pc ${prefix}/lib/*/pkgconfig/lexaro.pc)
file(GLOB sonames ${prefix}/lib*/liblexaro.so.0 ${prefix}/lib/*/liblexaro.so.0)
if(NOT pcfile OR NOT sonames)
  message(FATAL_ERROR "lexaro.pc or liblexaro.so.0 missing under ${prefix}")
endif()
get_filename_component(libdir ${sonames} DIRECTORY)

# find_package(Lexaro) and Lexaro::lexaro.
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/cli/consumer -B ${WORK_DIR}/cmake-build
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX}
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
file(MAKE_DIRECTORY ${WORK_DIR}/run-cmake)
execute_process(COMMAND ${WORK_DIR}/cmake-build/consumer WORKING_DIRECTORY ${WORK_DIR}/run-cmake
                RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "^[0-9]+ wide" OR NOT EXISTS ${WORK_DIR}/run-cmake/formula.png)
  message(FATAL_ERROR "the find_package program failed (${status}): ${out}")
endif()

# pkg-config.
get_filename_component(pcdir ${pcfile} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
run(pkg-config --cflags --libs lexaro)
string(STRIP "${last_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(build_flags UNIX_COMMAND "${CXX_FLAGS} ${LINK_FLAGS}")
run(${CXX} ${build_flags} ${SOURCE_DIR}/tests/cli/consumer/main.cpp ${flags} -Wl,-rpath,${libdir}
    -o ${WORK_DIR}/pc-consumer)
file(MAKE_DIRECTORY ${WORK_DIR}/run-pc)
execute_process(COMMAND ${WORK_DIR}/pc-consumer WORKING_DIRECTORY ${WORK_DIR}/run-pc RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${WORK_DIR}/run-pc/formula.png)
  message(FATAL_ERROR "the pkg-config program failed (${status})")
endif()

# The installed program draws the installed samples.
run(${prefix}/bin/lexaro samples -o ${WORK_DIR}/samples)
if(NOT EXISTS ${WORK_DIR}/samples/1001-sample1.png)
  message(FATAL_ERROR "the installed lexaro drew no samples")
endif()
message(STATUS "installed package works")
