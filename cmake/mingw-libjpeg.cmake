# The Windows cross build's libjpeg: Debian ships none for mingw, so libjpeg-turbo is built
# from Debian's source package into the build tree once (scripts/build-mingw-libjpeg) and
# FindJPEG is pointed at it.
set(nimbrel_mingw_jpeg ${CMAKE_BINARY_DIR}/libjpeg-turbo/prefix)
if(NOT EXISTS ${nimbrel_mingw_jpeg}/lib/libjpeg.a)
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-mingw-libjpeg ${CMAKE_BINARY_DIR}
                    RESULT_VARIABLE nimbrel_mingw_jpeg_result)
    if(NOT nimbrel_mingw_jpeg_result EQUAL 0)
        message(FATAL_ERROR "libjpeg-turbo for mingw could not be built "
                            "(scripts/install-deps --windows gives what it needs)")
    endif()
endif()
set(JPEG_INCLUDE_DIR ${nimbrel_mingw_jpeg}/include CACHE PATH "" FORCE)
set(JPEG_LIBRARY ${nimbrel_mingw_jpeg}/lib/libjpeg.a CACHE FILEPATH "" FORCE)
