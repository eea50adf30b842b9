# The one version of everything: the programs' --version, the Windows version resource of
# the executables and the packages' names all take PROJECT_VERSION.
set(NIMBREL_VENDOR "Vexmoor")

configure_file(${CMAKE_CURRENT_LIST_DIR}/product_version.h.in
               ${CMAKE_BINARY_DIR}/generated/product_version.h @ONLY)
add_library(nimbrel_version INTERFACE)
target_include_directories(nimbrel_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# Gives a Windows executable its version resource; elsewhere it does nothing.
function(nimbrel_add_version_resource target description)
    if(NOT WIN32 OR NOT TARGET ${target})
        return()
    endif()
    get_target_property(file_name ${target} OUTPUT_NAME)
    get_target_property(file_suffix ${target} SUFFIX)
    if(NOT file_name)
        set(file_name ${target})
    endif()
    if(NOT file_suffix)
        set(file_suffix .exe)
    endif()
    set(NIMBREL_RC_NAME ${file_name})
    set(NIMBREL_RC_FILE ${file_name}${file_suffix})
    set(NIMBREL_RC_DESCRIPTION ${description})
    set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
