# A short, bounded run of every fuzz target in the test suite, so that a
# reader that crashes on some input fails the suite. The targets need clang
# (libFuzzer): with VAULTRA_FUZZ_SMOKE they are built in a tree of their own
# beside this build; without clang, or without the option, the runs are
# reported as skipped.
set(VAULTRA_FUZZ_TARGETS fuzz_comma_text fuzz_master_csv fuzz_project_file fuzz_project_roundtrip
    fuzz_frame_text fuzz_drawing_file fuzz_template)
set(fuzz_smoke_dir ${CMAKE_BINARY_DIR}/fuzz-smoke)
find_program(VAULTRA_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
if(VAULTRA_FUZZ_SMOKE AND VAULTRA_CLANGXX)
  include(ExternalProject)
  set(fuzz_launcher "")
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    set(fuzz_launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
  set(fuzz_build_targets "")
  foreach(t ${VAULTRA_FUZZ_TARGETS})
    list(APPEND fuzz_build_targets --target ${t})
  endforeach()
  ExternalProject_Add(vaultra_fuzz_smoke
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${fuzz_smoke_dir}
    CMAKE_ARGS -G Ninja -DCMAKE_CXX_COMPILER=${VAULTRA_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DVAULTRA_FUZZ=ON -DVAULTRA_TESTS=OFF -DVAULTRA_BENCH=OFF ${fuzz_launcher}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${fuzz_smoke_dir} ${fuzz_build_targets}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
endif()
foreach(t ${VAULTRA_FUZZ_TARGETS})
  add_test(NAME fuzz_smoke.${t}
           COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fuzz_smoke.sh ${fuzz_smoke_dir}/fuzz/${t}
                   ${CMAKE_SOURCE_DIR})
  set_tests_properties(fuzz_smoke.${t} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120 LABELS fuzz)
endforeach()
