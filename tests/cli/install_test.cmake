# Installs the library into a fresh prefix, then builds and runs a program
# against it twice: through find_package(Lexaro) and through pkg-config.
# With -DCONTROLS=ON it first checks that asking that installation for the
# controls fails clearly, then installs the controls beside it and builds a
# Qt program against them the same two ways.
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

# Configures and builds the CMake consumer in WORK_DIR/NAME with ARGN.
function(build_cmake_consumer name)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/cli/consumer -B ${WORK_DIR}/${name}
      -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX}
      "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}" ${ARGN})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/${name})
endfunction()

# Builds SOURCE with the flags `pkg-config --cflags --libs MODULE` gives.
function(build_pc_consumer module source program)
  run(pkg-config --cflags --libs ${module})
  string(STRIP "${last_output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  separate_arguments(build_flags UNIX_COMMAND "${CXX_FLAGS} ${LINK_FLAGS}")
  run(${CXX} ${build_flags} ${SOURCE_DIR}/tests/cli/consumer/${source} ${flags} -Wl,-rpath,${libdir}
      -o ${WORK_DIR}/${program})
endfunction()

# Runs PROGRAM in a fresh directory and checks that it wrote FILE.
function(expect_drawn program file)
  get_filename_component(name ${program} NAME)
  set(dir ${WORK_DIR}/run-${name})
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${program} WORKING_DIRECTORY ${dir}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^[0-9]+ wide" OR NOT EXISTS ${dir}/${file})
    message(FATAL_ERROR "${program} failed (${status}): ${out}\n${err}")
  endif()
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
get_filename_component(pcdir ${pcfile} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pcdir})

# find_package(Lexaro) and Lexaro::lexaro; pkg-config.
build_cmake_consumer(cmake-build)
expect_drawn(${WORK_DIR}/cmake-build/consumer formula.png)
build_pc_consumer(lexaro main.cpp pc-consumer)
expect_drawn(${WORK_DIR}/pc-consumer formula.png)

# The installed program draws the installed samples.
run(${prefix}/bin/lexaro samples -o ${WORK_DIR}/samples)
if(NOT EXISTS ${WORK_DIR}/samples/1001-sample1.png)
  message(FATAL_ERROR "the installed lexaro drew no samples")
endif()

# Without the controls installed, asking for them fails and says why.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/cli/consumer -B ${WORK_DIR}/no-controls
                -DCMAKE_PREFIX_PATH=${prefix} -DWITH_CONTROLS=ON
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX REPLACE "[ \t\r\n]+" " " err "${err}")  # CMake wraps the message
if(status EQUAL 0 OR NOT err MATCHES "has no controls")
  message(FATAL_ERROR "find_package(Lexaro COMPONENTS controls) did not fail clearly (${status}):\n${err}")
endif()

if(CONTROLS)
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component controls)
  build_cmake_consumer(cmake-controls -DWITH_CONTROLS=ON)
  expect_drawn(${WORK_DIR}/cmake-controls/controls_consumer label.png)
  build_pc_consumer(lexaro-controls controls.cpp pc-controls)
  expect_drawn(${WORK_DIR}/pc-controls label.png)
endif()
message(STATUS "installed package works")
