# How the project's targets are shaped.
#
# Every library gets an include root of its own that holds only its folder (a link to the
# source folder), so that "<folder>/Header.h" resolves for the library and for what links it,
# and an include of a library one does not link fails to build.
function(tvs_header_root target folder)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${folder})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${root}>
        $<INSTALL_INTERFACE:${TVS_INSTALL_INCLUDEDIR}>)
endfunction()

# A stand-in of one of the client's libraries, or a library of the simulation: a shared
# library whose headers are addressed as "<folder>/Header.h".
#   tvs_library(<target> <folder> SOURCES … [PUBLIC …] [PRIVATE …] [INSTALL])
function(tvs_library target folder)
    cmake_parse_arguments(ARG "INSTALL;STATIC" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    if(ARG_STATIC)
        add_library(${target} STATIC ${ARG_SOURCES})
    else()
        add_library(${target} SHARED ${ARG_SOURCES})
    endif()
    tvs_header_root(${target} ${folder})
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    if(ARG_INSTALL)
        install(TARGETS ${target} EXPORT TeskVideoSearchTargets
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/ DESTINATION ${TVS_INSTALL_INCLUDEDIR}/${folder}
            FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE)
    endif()
endfunction()

# A subsystem of the module: an object library compiled into the one exported TeskVideoSearch
# library. PUBLIC lists what its public headers include; everything else is PRIVATE.
#   tvs_subsystem(<folder> SOURCES … [PUBLIC …] [PRIVATE …])
function(tvs_subsystem folder)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    set(target tvs_${folder})
    add_library(${target} OBJECT ${ARG_SOURCES})
    set_target_properties(${target} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_definitions(${target} PRIVATE TeskVideoSearch_EXPORTS)
    target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${TVS_EXPORT_HEADER_DIR}>)
    tvs_header_root(${target} ${folder})
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    target_link_libraries(TeskVideoSearch PRIVATE ${target})
    target_include_directories(TeskVideoSearch PUBLIC
        $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include/${target}>)
    install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/ DESTINATION ${TVS_INSTALL_INCLUDEDIR}/${folder}
        FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE)
endfunction()
