# Fails when a file under src/ includes a header from a folder on its own floor's list of what it may not
# reach: every folder may include only the folders below it, so the folders depend on each other in one
# direction and the window stays on top. Run as: cmake -DSOURCE_DIR=<src> -P check_floors.cmake

cmake_minimum_required(VERSION 3.24)

# Each folder with the folders it may include, from the ground floor up.
set(FLOOR_core "")
set(FLOOR_import "") # the import process, a program of its own
set(FLOOR_ui "core")
set(FLOOR_display "core;ui")
set(FLOOR_measure "core;ui;display")
set(FLOOR_spectrum "core;ui;display")
set(FLOOR_export "core;ui;display;files")
set(FLOOR_files "core;ui;display")
set(FLOOR_acquisition "core;ui;display;files")
set(FLOOR_window "core;ui;display;measure;spectrum;export;files;acquisition")

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
if(NOT sources)
    message(FATAL_ERROR "No sources found under ${SOURCE_DIR}")
endif()
set(faults "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder "${source}")
    if(folder STREQUAL source) # main.cpp: the program itself, above every floor
        continue()
    endif()
    if(NOT DEFINED FLOOR_${folder})
        list(APPEND faults "${source}: the folder ${folder} has no floor")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"[a-z_]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target "${line}")
        if(NOT target STREQUAL folder AND NOT target IN_LIST FLOOR_${folder})
            list(APPEND faults "${source}: ${folder}/ may not include ${target}/ (${line})")
        endif()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n  " message)
    message(FATAL_ERROR "Includes against the floors:\n  ${message}")
endif()
