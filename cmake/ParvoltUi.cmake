# The Qt desktop program: library parvolt_ui (every src/*/ui/*.cpp and src/widgets/*.cpp), the
# executable parvolt, its QtTest suites and its desktop integration (menu entry, MIME type, icon).
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport Test)

file(GLOB_RECURSE parvolt_ui_srcs CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/*/ui/*.cpp ${CMAKE_SOURCE_DIR}/src/*/ui/*.h
  ${CMAKE_SOURCE_DIR}/src/widgets/*.cpp ${CMAKE_SOURCE_DIR}/src/widgets/*.h)
list(FILTER parvolt_ui_srcs EXCLUDE REGEX "/app/ui/main\\.cpp$")

add_library(parvolt_ui STATIC ${parvolt_ui_srcs} ${CMAKE_SOURCE_DIR}/src/app/ui/parvolt.qrc)
set_target_properties(parvolt_ui PROPERTIES AUTOMOC ON AUTORCC ON)
target_include_directories(parvolt_ui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(parvolt_ui PUBLIC parvolt_core Qt6::Widgets Qt6::PrintSupport)
# Qt's own headers are not ours to keep warning-free.
target_compile_options(parvolt_ui PRIVATE -Wno-pedantic)

add_executable(parvolt ${CMAKE_SOURCE_DIR}/src/app/ui/main.cpp)
set_target_properties(parvolt PROPERTIES AUTOMOC ON)
target_link_libraries(parvolt PRIVATE parvolt_ui)

# The HTML help lies beside the program, as the data files do.
file(GLOB parvolt_help_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/help/*)
foreach(f ${parvolt_help_files})
  get_filename_component(fn ${f} NAME)
  configure_file(${f} ${PARVOLT_RUNTIME_DIR}/help/${fn} COPYONLY)
endforeach()

# QtTest suites: one executable per tests/ui/*.cpp, run without a display.
file(GLOB parvolt_ui_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/ui/*.cpp)
foreach(t ${parvolt_ui_tests})
  get_filename_component(tn ${t} NAME_WE)
  add_executable(ui_${tn} ${t})
  set_target_properties(ui_${tn} PROPERTIES AUTOMOC ON)
  target_link_libraries(ui_${tn} PRIVATE parvolt_ui Qt6::Test)
  target_compile_options(ui_${tn} PRIVATE -Wno-pedantic)
  target_compile_definitions(ui_${tn} PRIVATE
    PARVOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" PARVOLT_DATA_DIR="${CMAKE_SOURCE_DIR}/data"
    PARVOLT_BIN_DIR="${PARVOLT_RUNTIME_DIR}")
  add_test(NAME ui_${tn} COMMAND ui_${tn})
  set_tests_properties(ui_${tn} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endforeach()

install(TARGETS parvolt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/parvolt/help)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/ui/parvolt.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/ui/parvolt-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME parvolt.xml)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/ui/parvolt.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/ui/parvolt.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

# Benchmarks of the windows (bench/ui/*.cpp), run offscreen: programs that print their figures,
# some of them on Google Benchmark.
if(PARVOLT_BUILD_BENCH)
  find_package(benchmark QUIET)
  file(GLOB parvolt_ui_benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/ui/*.cpp)
  foreach(b ${parvolt_ui_benches})
    get_filename_component(bn ${b} NAME_WE)
    file(READ ${b} bench_text)
    string(FIND "${bench_text}" "benchmark/benchmark.h" uses_benchmark)
    if(NOT uses_benchmark EQUAL -1 AND NOT benchmark_FOUND)
      continue()
    endif()
    add_executable(${bn} ${b})
    target_link_libraries(${bn} PRIVATE parvolt_ui)
    if(NOT uses_benchmark EQUAL -1)
      target_link_libraries(${bn} PRIVATE benchmark::benchmark)
    endif()
    target_compile_options(${bn} PRIVATE -Wno-pedantic)
    target_compile_definitions(${bn} PRIVATE PARVOLT_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
  endforeach()
endif()
